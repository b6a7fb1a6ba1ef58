// mount_manager.cpp - requests to Wine's mount manager.
#include "mount_manager.h"

#include "win/handles.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

namespace standin {

namespace {

// Wine's own extension of the mount manager's control codes and its input
// record (Wine's include/ddk/mountmgr.h); the strings follow the record,
// found through the offsets.
constexpr DWORD kIoctlDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct MountmgrUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
static_assert(sizeof(MountmgrUnixDrive) == 32, "layout of Wine's struct mountmgr_unix_drive");

using WineGetUnixFileName = char *(__cdecl *)(LPCWSTR);

WineGetUnixFileName UnixNameFunction()
{
    return reinterpret_cast<WineGetUnixFileName>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
}

// type DRIVE_NO_ROOT_DIR removes the drive.
DWORD SendDefine(char letter, DWORD type, const std::string &folder, const std::string &device)
{
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
        return ERROR_INVALID_PARAMETER;
    size_t size = sizeof(MountmgrUnixDrive);
    const size_t folderAt = folder.empty() ? 0 : size;
    size += folder.empty() ? 0 : folder.size() + 1;
    const size_t deviceAt = device.empty() ? 0 : size;
    size += device.empty() ? 0 : device.size() + 1;
    if (size > 0xFFFF)
        return ERROR_FILENAME_EXCED_RANGE;

    std::vector<char> buffer(size, '\0');
    MountmgrUnixDrive head{};
    head.size = static_cast<ULONG>(size);
    head.type = type;
    head.letter = static_cast<WCHAR>(letter);
    head.mountPointOffset = static_cast<USHORT>(folderAt);
    head.deviceOffset = static_cast<USHORT>(deviceAt);
    memcpy(buffer.data(), &head, sizeof head);
    if (folderAt)
        memcpy(buffer.data() + folderAt, folder.c_str(), folder.size() + 1);
    if (deviceAt)
        memcpy(buffer.data() + deviceAt, device.c_str(), device.size() + 1);

    CFileHandle manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!manager)
        return GetLastError();
    DWORD returned = 0;
    if (!DeviceIoControl(manager.Get(), kIoctlDefineUnixDrive, buffer.data(), static_cast<DWORD>(size), nullptr, 0,
                         &returned, nullptr))
        return GetLastError();
    return 0;
}

} // namespace

bool IsWine() { return UnixNameFunction() != nullptr; }

bool UnixPathOf(const std::string &dosPath, std::string &unixPath)
{
    const WineGetUnixFileName toUnix = UnixNameFunction();
    if (!toUnix)
        return false;
    const int wide = MultiByteToWideChar(CP_ACP, 0, dosPath.c_str(), -1, nullptr, 0);
    if (wide <= 0)
        return false;
    std::vector<WCHAR> path(static_cast<size_t>(wide));
    MultiByteToWideChar(CP_ACP, 0, dosPath.c_str(), -1, path.data(), wide);
    // The result comes from the process heap.
    char *result = toUnix(path.data());
    if (!result)
        return false;
    unixPath = result;
    HeapFree(GetProcessHeap(), 0, result);
    return true;
}

DWORD DefineUnixDrive(char letter, const std::string &unixFolder, const std::string &unixDevice)
{
    if (unixFolder.empty())
        return ERROR_INVALID_PARAMETER;
    return SendDefine(letter, DRIVE_FIXED, unixFolder, unixDevice);
}

DWORD RemoveUnixDrive(char letter, const std::string &unixFolder)
{
    // Removing a drive leaves its raw device link ("x::") behind, so that
    // "\\.\X:" would still open the container; defining the drive once more
    // without a device drops that link first.
    if (!unixFolder.empty())
        SendDefine(letter, DRIVE_FIXED, unixFolder, std::string());
    return SendDefine(letter, DRIVE_NO_ROOT_DIR, std::string(), std::string());
}

} // namespace standin
