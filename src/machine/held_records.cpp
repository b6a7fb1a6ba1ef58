// held_records.cpp - the record files of the drives and mounts the library
// holds (see held_records.h).
//
// A record is one file of fixed size whose name follows from its content:
// "link-X.rec" for drive X, "store-HHHHHHHH.rec" and "disk-HHHHHHHH.rec" for
// the mount with handle H, "mounting-PPPPPPPP-CCCCCCCC.rec" for a mount
// under way in process P (C: its creation time). A name stands for one
// thing on the machine, so a record is written whole or replaced, never
// edited; one that is not whole, or whose content does not fit its name,
// is not a record. The first layout ("SBR1") ended with the link target;
// the second ("SBR2") adds the linked folder after it, and a record of the
// first is read with no folder.
#include "machine/held_records.h"

#include "diagnostics/trace.h"
#include "win/handles.h"
#include "win/paths.h"

#include <sddl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kMagic = 0x32524253;              // "SBR2"
constexpr DWORD kMagicWithoutFolder = 0x31524253; // "SBR1"
constexpr size_t kPathBytes = 1024;
// A walk reads at most this many records, and looks at no more files.
constexpr size_t kMaxRecords = 256;
constexpr size_t kMaxFiles = 1024;
// How far two readings of the system's start may differ: the clock is set
// now and then. A record made before a restart differs by at least the
// time the system ran before it.
constexpr DWORD kStartToleranceMs = 5 * 60 * 1000;
// The system, the administrators and every signed-in user may do anything,
// in the folder and in what it holds; nothing is inherited from above, so
// that a file one user made stays open to the others.
constexpr char kFolderRights[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;AU)";

struct RecordFile {
    DWORD dwMagic;
    DWORD dwKind;
    DWORD dwProcessId;
    DWORD dwHandle;
    FILETIME ftProcessCreated;
    DWORD dwSystemStart;
    char chDrive;
    BYTE bLabelled;
    BYTE reserved[2];
    char szPath[kPathBytes];
    char szFolder[kPathBytes]; // not in a "SBR1" record, which ends before it
};
constexpr DWORD kBytesWithoutFolder = offsetof(RecordFile, szFolder);
static_assert(kBytesWithoutFolder == 1056 && sizeof(RecordFile) == 2080, "record file layout");

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The folder of the records, "" when the system names no common
// application data folder.
const std::string &HeldFolder()
{
    static const std::string folder = [] {
        char base[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base)) || !base[0])
            return std::string();
        return std::string(base) + "\\Sefrabox\\Held";
    }();
    return folder;
}

bool MakeFolder(const std::string &path)
{
    PSECURITY_DESCRIPTOR rights = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(kFolderRights, SDDL_REVISION_1, &rights, nullptr);
    const CLocalMemory owned(rights);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, rights, FALSE};
    return CreateDirectoryA(path.c_str(), rights ? &attributes : nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeHeldFolder()
{
    const std::string &folder = HeldFolder();
    return !folder.empty() && MakeFolder(folder.substr(0, folder.rfind('\\'))) && MakeFolder(folder);
}

DWORD SystemStartNow()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG ms = ((static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000;
    // The tick count runs over every 49.7 days: the start is kept modulo
    // the counter's range, and compared so.
    return static_cast<DWORD>(ms) - GetTickCount();
}

std::string FileNameOf(const HeldRecord &record)
{
    char name[64] = {};
    switch (record.kind) {
    case HeldKind::DriveLink:
        std::snprintf(name, sizeof name, "link-%c.rec", UpperLetter(record.chDrive));
        break;
    case HeldKind::StoreMount:
        std::snprintf(name, sizeof name, "store-%08X.rec", static_cast<unsigned>(record.dwHandle));
        break;
    case HeldKind::DiskMount:
        std::snprintf(name, sizeof name, "disk-%08X.rec", static_cast<unsigned>(record.dwHandle));
        break;
    case HeldKind::Mounting:
        std::snprintf(name, sizeof name, "mounting-%08X-%08X.rec", static_cast<unsigned>(record.owner.dwProcessId),
                      static_cast<unsigned>(record.owner.ftCreated.dwLowDateTime));
        break;
    }
    return name;
}

std::string PathOf(const HeldRecord &record) { return HeldFolder() + "\\" + FileNameOf(record); }

bool ReadRecordFile(const std::string &path, HeldRecord &record)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    RecordFile data{};
    DWORD read = 0;
    const DWORD size = file ? GetFileSize(file.Get(), nullptr) : 0;
    if ((size != sizeof data && size != kBytesWithoutFolder) || !ReadFile(file.Get(), &data, size, &read, nullptr) ||
        read != size)
        return false;
    if (data.dwMagic != (size == sizeof data ? kMagic : kMagicWithoutFolder) || data.dwKind < 1 || data.dwKind > 4 ||
        !std::memchr(data.szPath, 0, kPathBytes) || !std::memchr(data.szFolder, 0, kPathBytes))
        return false;
    record.kind = static_cast<HeldKind>(data.dwKind);
    const bool lettered = record.kind == HeldKind::DriveLink || record.kind == HeldKind::DiskMount;
    const bool handled = record.kind == HeldKind::StoreMount || record.kind == HeldKind::DiskMount;
    if ((lettered && !IsDriveLetter(data.chDrive)) || (handled && data.dwHandle == 0))
        return false;
    record.owner.dwProcessId = data.dwProcessId;
    record.owner.ftCreated = data.ftProcessCreated;
    record.dwSystemStart = data.dwSystemStart;
    record.chDrive = data.chDrive;
    record.bLabelled = data.bLabelled != 0;
    record.dwHandle = data.dwHandle;
    record.path = data.szPath;
    record.folder = data.szFolder;
    return true;
}

int OrderOf(HeldKind kind)
{
    switch (kind) {
    case HeldKind::DriveLink:
        return 0;
    case HeldKind::DiskMount:
        return 1;
    case HeldKind::StoreMount:
        return 2;
    default:
        return 3;
    }
}

} // namespace

bool WriteHeldRecord(HeldRecord record)
{
    record.owner = CurrentProcessIdentity();
    record.dwSystemStart = SystemStartNow();
    RecordFile data{};
    data.dwMagic = kMagic;
    data.dwKind = static_cast<DWORD>(record.kind);
    data.dwProcessId = record.owner.dwProcessId;
    data.dwHandle = record.dwHandle;
    data.ftProcessCreated = record.owner.ftCreated;
    data.dwSystemStart = record.dwSystemStart;
    data.chDrive = record.chDrive;
    data.bLabelled = record.bLabelled ? 1 : 0;
    std::snprintf(data.szPath, sizeof data.szPath, "%s", record.path.c_str());
    std::snprintf(data.szFolder, sizeof data.szFolder, "%s", record.folder.c_str());

    const std::string path = PathOf(record);
    DWORD error = ERROR_PATH_NOT_FOUND;
    if (MakeHeldFolder()) {
        CFileHandle file(
            CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file && WriteFile(file.Get(), &data, sizeof data, &written, nullptr) && written == sizeof data)
            return true;
        error = GetLastError();
        if (file) {
            file.Reset();
            DeleteFileA(path.c_str());
        }
    } else if (!HeldFolder().empty()) {
        error = GetLastError();
    }
    SB_TRACE_FAILED(error, "WriteHeldRecord(%s)", path.c_str());
    return false;
}

void ForgetHeldRecord(const HeldRecord &record)
{
    if (!HeldFolder().empty())
        DeleteFileA(PathOf(record).c_str());
}

void ForgetHeldLink(char drive)
{
    HeldRecord record;
    record.kind = HeldKind::DriveLink;
    record.chDrive = drive;
    ForgetHeldRecord(record);
}

void ForgetHeldMount(HeldKind kind, DWORD handle)
{
    HeldRecord record;
    record.kind = kind;
    record.dwHandle = handle;
    ForgetHeldRecord(record);
}

void NoteMountStarting(const char *container)
{
    HeldRecord record;
    record.kind = HeldKind::Mounting;
    record.path = container ? container : "";
    WriteHeldRecord(record);
}

void NoteMountDone(HeldKind kind, DWORD handle, char drive, const std::string &path)
{
    if (handle != 0) {
        HeldRecord record;
        record.kind = kind;
        record.dwHandle = handle;
        record.chDrive = drive;
        record.path = path;
        WriteHeldRecord(record);
    }
    HeldRecord note;
    note.kind = HeldKind::Mounting;
    note.owner = CurrentProcessIdentity();
    ForgetHeldRecord(note);
}

std::vector<HeldRecord> ReadHeldRecords()
{
    std::vector<HeldRecord> records;
    const std::string &folder = HeldFolder();
    if (folder.empty())
        return records;
    WIN32_FIND_DATAA found{};
    CFindHandle find(FindFirstFileA((folder + "\\*.rec").c_str(), &found));
    if (!find)
        return records;
    size_t files = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string path = folder + "\\" + found.cFileName;
        HeldRecord record;
        if (ReadRecordFile(path, record) && lstrcmpiA(FileNameOf(record).c_str(), found.cFileName) == 0)
            records.push_back(record);
        else if (found.nFileSizeLow == 0 && found.nFileSizeHigh == 0)
            DeleteFileA(path.c_str()); // its writer died between making and filling it
    } while (records.size() < kMaxRecords && ++files < kMaxFiles && FindNextFileA(find.Get(), &found));
    std::stable_sort(records.begin(), records.end(),
                     [](const HeldRecord &a, const HeldRecord &b) { return OrderOf(a.kind) < OrderOf(b.kind); });
    return records;
}

bool IsFromThisSystemStart(const HeldRecord &record)
{
    const DWORD apart = SystemStartNow() - record.dwSystemStart;
    return apart <= kStartToleranceMs || apart >= 0u - kStartToleranceMs;
}
