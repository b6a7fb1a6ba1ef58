// file_identity.cpp - FileIdentityOf and IsSameFile (see file_identity.h).
#include "win/file_identity.h"

#include "win/handles.h"

namespace {

bool RunsOnWine()
{
    static const bool wine = GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name") != nullptr;
    return wine;
}

} // namespace

bool FileIdentityOf(const std::string &path, BY_HANDLE_FILE_INFORMATION &info)
{
    CFileHandle file(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file && GetFileInformationByHandle(file.Get(), &info);
}

bool IsSameFile(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b)
{
    return a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow &&
           (RunsOnWine() || a.dwVolumeSerialNumber == b.dwVolumeSerialNumber);
}

bool IsSameFile(const std::string &a, const std::string &b)
{
    BY_HANDLE_FILE_INFORMATION infoA{}, infoB{};
    return FileIdentityOf(a, infoA) && FileIdentityOf(b, infoB) && IsSameFile(infoA, infoB);
}
