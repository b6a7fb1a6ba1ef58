// links.cpp - RemoveLinkItself and CFolderFiles (see links.h).
#include "win/links.h"

#include "win/handles.h"

#include <vector>

namespace {

// Both are missing before Windows Vista, where every link is flagged and the
// plain deletion is right.
using FinalPathFn = DWORD(WINAPI *)(HANDLE, LPSTR, DWORD, DWORD);
using SetInfoFn = BOOL(WINAPI *)(HANDLE, int, LPVOID, DWORD);
// SetFileInformationByHandle's class and record of the delete disposition,
// which Windows XP's declarations lack (FileDispositionInfo,
// FILE_DISPOSITION_INFO).
constexpr int kFileDispositionInfo = 4;
struct FileDispositionRecord {
    BOOLEAN deleteFile;
};
// Wine's own conversions between its Windows and Unix file names.
using UnixNameFn = char *(CDECL *)(LPCWSTR);
using DosNameFn = WCHAR *(CDECL *)(LPCSTR);

// Through void (*)(): the generic function pointer type.
template <typename Fn> Fn Kernel32(const char *name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

std::string FinalPathOf(HANDLE handle)
{
    static const auto finalPath = Kernel32<FinalPathFn>("GetFinalPathNameByHandleA");
    if (!finalPath)
        return std::string();
    char path[MAX_PATH * 2] = {};
    const DWORD length = finalPath(handle, path, sizeof path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

// Frees what Wine's conversions hand out.
struct CProcessHeapText {
    void *p;
    ~CProcessHeapText()
    {
        if (p)
            HeapFree(GetProcessHeap(), 0, p);
    }
};

std::wstring Wide(const std::string &text, UINT codePage)
{
    const int n = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.data(), n);
    return wide.data();
}

bool IsGone(const std::wstring &path)
{
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

constexpr DWORD kUnlinkWaitMs = 5000;
constexpr DWORD kUnlinkPollMs = 10;

// Under Wine: the Unix unlink of the link's own name. Wine gives no
// waitable handle for a Unix process, so the name's going is awaited.
DWORD UnlinkOnWine(const std::string &path, UnixNameFn unixName)
{
    static const auto dosName = Kernel32<DosNameFn>("wine_get_dos_file_name");
    const std::wstring widePath = Wide(path, CP_ACP);
    if (!dosName || widePath.empty())
        return ERROR_NOT_SUPPORTED;
    const CProcessHeapText program{dosName("/usr/bin/unlink")};
    const CProcessHeapText target{unixName(widePath.c_str())};
    if (!program.p || !target.p || GetFileAttributesW(static_cast<WCHAR *>(program.p)) == INVALID_FILE_ATTRIBUTES)
        return ERROR_NOT_SUPPORTED;
    const std::wstring unixTarget = Wide(static_cast<const char *>(target.p), CP_UTF8);
    if (unixTarget.empty() || unixTarget.find(L'"') != std::wstring::npos)
        return ERROR_INVALID_NAME;
    std::wstring commandLine = L"unlink \"" + unixTarget + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(static_cast<WCHAR *>(program.p), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &started))
        return GetLastError();
    CKernelHandle process(started.hProcess), thread(started.hThread);
    for (DWORD waited = 0; waited < kUnlinkWaitMs; waited += kUnlinkPollMs) {
        if (IsGone(widePath))
            return ERROR_SUCCESS;
        Sleep(kUnlinkPollMs);
    }
    return IsGone(widePath) ? ERROR_SUCCESS : ERROR_TIMEOUT;
}

} // namespace

DWORD RemoveLinkItself(const std::string &path, bool folder)
{
    static const auto unixName = Kernel32<UnixNameFn>("wine_get_unix_file_name");
    if (unixName)
        return UnlinkOnWine(path, unixName);
    if (folder ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str()))
        return ERROR_SUCCESS;
    return GetLastError();
}

CFolderFiles::CFolderFiles(const std::string &folder) : m_folder(folder)
{
    if (m_folder.empty() || (m_folder.back() != '\\' && m_folder.back() != '/'))
        m_folder += '\\';
    CFileHandle handle(CreateFileA(m_folder.c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle)
        m_finalPath = FinalPathOf(handle.Get());
}

DWORD CFolderFiles::Delete(const char *name) const
{
    static const auto setInfo = Kernel32<SetInfoFn>("SetFileInformationByHandle");
    const std::string path = m_folder + name;
    CFileHandle file(CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file)
        return GetLastError();
    // The handle is the file the name leads to: anywhere but this folder
    // means a link.
    if (!m_finalPath.empty()) {
        const std::string own = m_finalPath + (m_finalPath.back() == '\\' ? "" : "\\") + name;
        const std::string reached = FinalPathOf(file.Get());
        if (!reached.empty() && lstrcmpiA(reached.c_str(), own.c_str()) != 0) {
            file.Reset();
            return RemoveLinkItself(path, false);
        }
    }
    if (setInfo) {
        FileDispositionRecord disposition{TRUE};
        return setInfo(file.Get(), kFileDispositionInfo, &disposition, sizeof disposition) ? ERROR_SUCCESS
                                                                                           : GetLastError();
    }
    file.Reset();
    return DeleteFileA(path.c_str()) ? ERROR_SUCCESS : GetLastError();
}
