// mounts.cpp - container mounts and drive links over drives.h and the table.
#include "mounts.h"

#include "drives.h"
#include "win/handles.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace standin {

namespace {

bool StartsWithNoCase(const std::string &text, const char *prefix)
{
    const size_t n = strlen(prefix);
    return text.size() >= n && _strnicmp(text.c_str(), prefix, n) == 0;
}

bool FullPath(const char *path, std::string &full)
{
    char buffer[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameA(path, sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer)
        return false;
    full = buffer;
    return true;
}

bool IsFolder(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Checks the container and makes its content folder.
DWORD PrepareContainer(const char *container, MountRecord &record)
{
    if (!FullPath(container, record.container))
        return ERROR_INVALID_NAME;
    CFileHandle file(CreateFileA(record.container.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return IsFolder(record.container) ? ERROR_ACCESS_DENIED : GetLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return GetLastError();
    if (size.QuadPart < kBootBlockSize)
        return ERROR_INVALID_DATA;
    record.folder = record.container + kContentFolderSuffix;
    if (!CreateDirectoryA(record.folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return GetLastError();
    return IsFolder(record.folder) ? 0 : ERROR_PATH_NOT_FOUND;
}

// "\\.\X:..." or "X:..." where X is a recorded mount: the mount's folder
// plus the tail, so that links never lead through another drive.
std::string ThroughMount(const std::string &path)
{
    const size_t at = StartsWithNoCase(path, "\\\\.\\") || StartsWithNoCase(path, "\\\\?\\") ? 4 : 0;
    if (path.size() < at + 2 || path[at + 1] != ':' || !DriveLetterOf(static_cast<unsigned char>(path[at])))
        return path;
    const char letter = DriveLetterOf(static_cast<unsigned char>(path[at]));
    for (const MountRecord &record : ListMounts())
        if (record.letter == letter)
            return record.folder + path.substr(at + 2);
    return path;
}

// The DOS path of a link target, or empty when it names an unknown device.
std::string TargetFolder(const std::string &target)
{
    if (StartsWithNoCase(target, kDeviceNamePrefix)) {
        const size_t at = strlen(kDeviceNamePrefix);
        const std::string digits = target.substr(at, 8);
        const std::string tail = target.substr(at + digits.size());
        char *end = nullptr;
        const DWORD handle = strtoul(digits.c_str(), &end, 16);
        MountRecord record;
        if (digits.size() != 8 || !end || *end != '\0' || (!tail.empty() && tail[0] != '\\') ||
            !FindMount(handle, record))
            return std::string();
        return record.folder + tail;
    }
    if (StartsWithNoCase(target, "\\??\\"))
        return ThroughMount(target.substr(4));
    if (StartsWithNoCase(target, "\\DosDevices\\"))
        return ThroughMount(target.substr(12));
    return ThroughMount(target);
}

} // namespace

char FreeDriveLetter()
{
    const DWORD used = UsedDriveMask() | RecordedDriveMask();
    for (char letter = 'Z'; letter >= 'D'; --letter)
        if ((used & (1u << (letter - 'A'))) == 0)
            return letter;
    return 0;
}

DWORD MountContainer(const char *container, MountRecord &record)
{
    MountRecord made;
    if (const DWORD error = PrepareContainer(container, made))
        return error;
    CMountTableLock lock;
    made.letter = FreeDriveLetter();
    if (made.letter == 0)
        return ERROR_ALREADY_ASSIGNED;
    if (const DWORD error = DefineFolderDrive(made.letter, made.folder, made.container))
        return error;
    if (const DWORD error = AddMount(made)) {
        RemoveFolderDrive(made.letter, made.folder);
        return error;
    }
    record = made;
    return 0;
}

DWORD UnmountContainer(DWORD drive, DWORD handle)
{
    CMountTableLock lock;
    MountRecord record;
    if (!FindMount(handle, record))
        return ERROR_INVALID_HANDLE;
    if (drive != 255 && DriveLetterOf(static_cast<int>(drive)) != record.letter)
        return ERROR_INVALID_PARAMETER;
    // A drive that no longer leads to the content folder was removed or
    // redefined by someone else: only the record goes.
    if (DriveLeadsTo(record.letter, record.folder))
        if (const DWORD error = RemoveFolderDrive(record.letter, record.folder))
            return error;
    RemoveMount(handle);
    return 0;
}

std::string DeviceNameOf(DWORD handle)
{
    char name[64] = {};
    snprintf(name, sizeof name, "%s%08lX", kDeviceNamePrefix, static_cast<unsigned long>(handle));
    return name;
}

DWORD LinkDrive(char letter, const std::string &target)
{
    CMountTableLock lock;
    const std::string folder = TargetFolder(target);
    std::string full;
    if (folder.empty() || !FullPath(folder.c_str(), full) || !IsFolder(full))
        return ERROR_PATH_NOT_FOUND;
    if (DriveInUse(letter))
        return ERROR_ALREADY_ASSIGNED;
    std::string recorded;
    if (FindLink(letter, recorded))
        RemoveLink(letter);
    if (const DWORD error = DefineFolderDrive(letter, full, std::string()))
        return error;
    if (const DWORD error = AddLink(letter, full)) {
        RemoveFolderDrive(letter, full);
        return error;
    }
    return 0;
}

DWORD UnlinkDrive(char letter)
{
    CMountTableLock lock;
    std::string folder;
    if (!FindLink(letter, folder))
        return ERROR_FILE_NOT_FOUND;
    if (DriveLeadsTo(letter, folder))
        if (const DWORD error = RemoveFolderDrive(letter, folder))
            return error;
    RemoveLink(letter);
    return 0;
}

} // namespace standin
