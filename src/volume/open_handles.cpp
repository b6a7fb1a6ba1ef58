// open_handles.cpp - AskHandleTable: the system's handle table, each file
// handle with data access duplicated and named.
//
// The table comes from NtQuerySystemInformation's handle class (16), which
// every NT system and Wine answer; its records carry the handle's owner,
// object type, 16-bit value and granted access. The type of a file is
// learnt from a handle of our own in the same table, since its number
// differs between systems. Wine lets any process of the prefix duplicate
// another's handles; where the system refuses (another user's process on
// Windows) the answer is Unknown and the caller asks the files themselves.
#include "volume/open_handles.h"

#include "win/handles.h"

#include <windows.h>

#include <cstddef>
#include <map>
#include <vector>

namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr ULONG kFirstTableBytes = 64 * 1024;
constexpr ULONG kMostTableBytes = 64 * 1024 * 1024;
// The accesses that an exclusive open (share mode 0) conflicts with.
constexpr ACCESS_MASK kDataAccess = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_EXECUTE | DELETE;

struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

using QuerySystemFn = LONG(WINAPI *)(ULONG, PVOID, ULONG, PULONG);
using FinalPathFn = DWORD(WINAPI *)(HANDLE, LPWSTR, DWORD, DWORD);

template <typename Fn> Fn Lookup(const char *module, const char *name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(module), name)));
}

// The table into bytes; false when it cannot be had.
bool ReadHandleTable(std::vector<BYTE> &bytes)
{
    static const auto query = Lookup<QuerySystemFn>("ntdll.dll", "NtQuerySystemInformation");
    if (!query)
        return false;
    for (ULONG size = kFirstTableBytes; size <= kMostTableBytes; size *= 2) {
        bytes.assign(size, 0);
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, bytes.data(), size, &needed);
        if (status >= 0) {
            const auto *table = reinterpret_cast<const HandleTable *>(bytes.data());
            return offsetof(HandleTable, entries) + table->count * sizeof(HandleEntry) <= size;
        }
        if (status != kInfoLengthMismatch)
            return false;
    }
    return false;
}

// The name the system gives the file behind handle, as "\\?\X:\...";
// empty when it gives none.
std::wstring FinalPathOf(HANDLE handle)
{
    static const auto finalPath = Lookup<FinalPathFn>("kernel32.dll", "GetFinalPathNameByHandleW");
    if (!finalPath)
        return std::wstring();
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD length = finalPath(handle, path, MAX_PATH * 2, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(path, length) : std::wstring();
}

bool StartsWithNoCase(const std::wstring &text, const std::wstring &prefix)
{
    return text.size() >= prefix.size() &&
           CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str(), static_cast<int>(prefix.size()),
                          prefix.c_str(), static_cast<int>(prefix.size())) == CSTR_EQUAL;
}

enum class Verdict { Below, Elsewhere, Unnamed };

// What the duplicate of a file handle shows.
Verdict NameOf(HANDLE duplicate, const std::wstring &prefix)
{
    if (GetFileType(duplicate) != FILE_TYPE_DISK)
        return Verdict::Elsewhere; // a pipe, a console, a device
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(duplicate, &info)) {
        // A handle the system itself calls invalid for the question (Wine
        // says so of standard handles that lead outside its drives) holds
        // no file.
        return GetLastError() == ERROR_INVALID_HANDLE ? Verdict::Elsewhere : Verdict::Unnamed;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Verdict::Elsewhere; // folders are watched, not used
    const std::wstring path = FinalPathOf(duplicate);
    if (path.empty())
        return Verdict::Unnamed;
    return StartsWithNoCase(path, prefix) ? Verdict::Below : Verdict::Elsewhere;
}

} // namespace

HandleTableAnswer AskHandleTable(const std::string &folder)
{
    // Our own handle on the folder names the type of files in the table and
    // gives the folder's name in the form the files' names take.
    const CFileHandle own(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!own)
        return HandleTableAnswer::Unknown;
    std::wstring prefix = FinalPathOf(own.Get());
    if (prefix.empty())
        return HandleTableAnswer::Unknown;
    if (prefix.back() != L'\\')
        prefix += L'\\';

    std::vector<BYTE> bytes;
    if (!ReadHandleTable(bytes))
        return HandleTableAnswer::Unknown;
    const auto *table = reinterpret_cast<const HandleTable *>(bytes.data());
    const ULONG self = GetCurrentProcessId();
    const auto ownValue = static_cast<USHORT>(reinterpret_cast<UINT_PTR>(own.Get()));
    int fileType = -1;
    for (ULONG i = 0; i < table->count && fileType < 0; ++i)
        if (table->entries[i].ownerPid == self && table->entries[i].value == ownValue)
            fileType = table->entries[i].objectType;
    if (fileType < 0)
        return HandleTableAnswer::Unknown;

    std::map<ULONG, CKernelHandle> processes;
    for (ULONG i = 0; i < table->count; ++i) {
        const HandleEntry &entry = table->entries[i];
        if (entry.objectType != fileType || !(entry.access & kDataAccess))
            continue;
        HANDLE source = GetCurrentProcess();
        if (entry.ownerPid != self) {
            CKernelHandle &process = processes[entry.ownerPid];
            if (!process)
                process.Reset(OpenProcess(PROCESS_DUP_HANDLE, FALSE, entry.ownerPid));
            if (!process)
                return HandleTableAnswer::Unknown;
            source = process.Get();
        }
        HANDLE raw = nullptr;
        if (!DuplicateHandle(source, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(entry.value)), GetCurrentProcess(),
                             &raw, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            // A handle closed since the table was read is no longer there.
            if (GetLastError() == ERROR_INVALID_HANDLE)
                continue;
            return HandleTableAnswer::Unknown;
        }
        const CKernelHandle duplicate(raw);
        const Verdict verdict = NameOf(duplicate.Get(), prefix);
        if (verdict == Verdict::Below)
            return HandleTableAnswer::Held;
        if (verdict == Verdict::Unnamed)
            return HandleTableAnswer::Unknown;
    }
    return HandleTableAnswer::Free;
}
