// drive_link.cpp - linking and unlinking sefra drives (see drive_link.h).
#include "volume/drive_link.h"

#include "machine/system_family.h"
#include "store/profile_names.h"
#include "store/target_check.h"
#include "suite/Kestor.h"
#include "win/file_identity.h"
#include "win/paths.h"

#include <shlobj.h>

namespace {

DWORD LastErrorOrNotFound()
{
    const DWORD code = GetLastError();
    return code != 0 ? code : ERROR_PATH_NOT_FOUND;
}

// driveText's root is folder itself (the same file), and folder is a
// folder in the root of a store volume: its parent is the root of the
// volume that holds it, the profile is there, and its name passes
// IsUsableTarget.
bool LeadsToStoreFolder(const char *driveText, const std::string &folder)
{
    const size_t nameStart = LastNameStart(folder);
    if (nameStart == 0 || nameStart == folder.size())
        return false;
    const std::string parent = folder.substr(0, nameStart);
    char volume[MAX_PATH] = {};
    if (!GetVolumePathNameA(folder.c_str(), volume, sizeof volume) || !IsSameFile(volume, parent))
        return false;
    const DWORD profile = GetFileAttributesA(JoinPath(parent, kProfileFileName).c_str());
    return profile != INVALID_FILE_ATTRIBUTES && !(profile & FILE_ATTRIBUTE_DIRECTORY) &&
           IsUsableTarget(folder.substr(nameStart).c_str()) && IsSameFile(DrivePathOf(driveText), folder);
}

} // namespace

std::string DrivePathOf(const char *driveText) { return WithSeparator(driveText); }

std::string DriverLinkName(const char *driveText) { return std::string("\\DosDevices\\") + driveText; }

std::string LinkTargetOf(const std::string &volumePath, const std::string &devicePath, const std::string &target)
{
    return JoinPath(g_bXpFamily == 1 ? volumePath : devicePath, target);
}

DWORD LinkDrive(const char *driveText, const std::string &volumePath, const std::string &devicePath,
                const std::string &target, DWORD defineFlags)
{
    const std::string linkTarget = LinkTargetOf(volumePath, devicePath, target);
    if (g_bXpFamily == 1)
        return DefineDosDeviceA(defineFlags, driveText, linkTarget.c_str()) ? 0 : GetLastError();
    return Our_IoCreateSymbolicLink(DriverLinkName(driveText).c_str(), linkTarget.c_str(), 1);
}

DWORD CheckDriveLink(const char *driveText)
{
    char target[1024] = {};
    if (!QueryDosDeviceA(driveText, target, sizeof target))
        return LastErrorOrNotFound();
    if (g_bXpFamily == 1)
        return 0;
    const std::string root = DrivePathOf(driveText);
    if (GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES)
        return LastErrorOrNotFound();
    return 0;
}

void UnlinkDrive(const char *driveText, bool quiet)
{
    if (g_bXpFamily == 1) {
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, driveText, nullptr);
        return;
    }
    Our_IoCreateSymbolicLink(DriverLinkName(driveText).c_str(), "", 0);
    if (quiet)
        return;
    const std::string root = DrivePathOf(driveText);
    SHChangeNotify(SHCNE_DRIVEREMOVED, SHCNF_PATHA | SHCNF_FLUSH, root.c_str(), nullptr);
}

bool IsDriveInUse(const char *driveText)
{
    char target[1024] = {};
    return QueryDosDeviceA(driveText, target, sizeof target) != 0 ||
           (GetLogicalDrives() & (1u << ((driveText[0] | 0x20) - 'a'))) != 0;
}

bool UnlinkRecordedDrive(const char *driveText, const std::string &linkTarget, const std::string &folder)
{
    if (g_bXpFamily == 1)
        return DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, driveText, linkTarget.c_str()) !=
               FALSE;
    if (!LeadsToStoreFolder(driveText, folder))
        return false;
    UnlinkDrive(driveText);
    return true;
}
