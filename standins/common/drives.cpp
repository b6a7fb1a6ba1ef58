// drives.cpp - defining, removing and probing folder drives.
#include "drives.h"

#include "mount_manager.h"
#include "win/file_identity.h"

namespace standin {

namespace {

std::string DriveText(char letter) { return std::string(1, letter) + ":"; }

// Windows: the NT path that DefineDosDevice takes as raw target.
std::string NtPathOf(const std::string &folder) { return "\\??\\" + folder; }

} // namespace

char DriveLetterOf(int c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c);
    return 0;
}

DWORD UsedDriveMask()
{
    DWORD mask = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        char target[MAX_PATH] = {};
        if (QueryDosDeviceA(DriveText(letter).c_str(), target, sizeof target) != 0)
            mask |= 1u << (letter - 'A');
    }
    return mask;
}

bool DriveInUse(char letter)
{
    const char upper = DriveLetterOf(letter);
    return upper == 0 || (UsedDriveMask() & (1u << (upper - 'A'))) != 0;
}

DWORD DefineFolderDrive(char letter, const std::string &folder, const std::string &container)
{
    if (IsWine()) {
        std::string unixFolder, unixDevice;
        if (!UnixPathOf(folder, unixFolder))
            return ERROR_PATH_NOT_FOUND;
        if (!container.empty() && !UnixPathOf(container, unixDevice))
            return ERROR_FILE_NOT_FOUND;
        return DefineUnixDrive(letter, unixFolder, unixDevice);
    }
    if (!DefineDosDeviceA(DDD_RAW_TARGET_PATH, DriveText(letter).c_str(), NtPathOf(folder).c_str()))
        return GetLastError();
    return 0;
}

DWORD RemoveFolderDrive(char letter, const std::string &folder)
{
    if (IsWine()) {
        std::string unixFolder;
        UnixPathOf(folder, unixFolder);
        return RemoveUnixDrive(letter, unixFolder.empty() ? std::string("/") : unixFolder);
    }
    if (!DefineDosDeviceA(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                          DriveText(letter).c_str(), NtPathOf(folder).c_str()))
        return GetLastError();
    return 0;
}

bool DriveLeadsTo(char letter, const std::string &folder)
{
    BY_HANDLE_FILE_INFORMATION root{}, target{};
    const bool rootFound = FileIdentityOf(DriveText(letter) + "\\", root);
    const bool targetFound = FileIdentityOf(folder, target);
    // A folder deleted while its drive was defined leaves a drive that leads
    // nowhere; that drive is still the one made for the folder.
    if (!rootFound || !targetFound)
        return !rootFound && !targetFound && DriveInUse(letter);
    return IsSameFile(root, target);
}

} // namespace standin
