// drive_link.cpp - linking and unlinking sefra drives (see drive_link.h).
#include "volume/drive_link.h"

#include "module/app.h"
#include "suite/Kestor.h"

#include <shlobj.h>

namespace {

DWORD LastErrorOrNotFound()
{
    const DWORD code = GetLastError();
    return code != 0 ? code : ERROR_PATH_NOT_FOUND;
}

} // namespace

std::string DrivePathOf(const char *driveText)
{
    std::string path = driveText;
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

std::string DriverLinkName(const char *driveText) { return std::string("\\DosDevices\\") + driveText; }

DWORD LinkDrive(const char *driveText, const std::string &volumePath, const std::string &devicePath,
                const std::string &target, DWORD defineFlags)
{
    if (g_bXpFamily == 1) {
        const std::string folder = volumePath + target;
        return DefineDosDeviceA(defineFlags, driveText, folder.c_str()) ? 0 : GetLastError();
    }
    const std::string linkTarget = devicePath + target;
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

void UnlinkDrive(const char *driveText, bool noBroadcast)
{
    if (g_bXpFamily == 1) {
        DefineDosDeviceA(DDD_REMOVE_DEFINITION | (noBroadcast ? DDD_NO_BROADCAST_SYSTEM : 0), driveText, nullptr);
        return;
    }
    Our_IoCreateSymbolicLink(DriverLinkName(driveText).c_str(), "", 0);
    const std::string root = DrivePathOf(driveText);
    SHChangeNotify(SHCNE_DRIVEREMOVED, SHCNF_PATHA | SHCNF_FLUSH, root.c_str(), nullptr);
}
