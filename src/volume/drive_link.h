// drive_link.h - how a drive letter is linked to a sefra folder and unlinked
// again. One naming for every site: a drive text is "X:" (10-byte buffers);
// the XP family links with DefineDosDeviceA, later systems through the
// driver's "\DosDevices\X:" symbolic link.
#pragma once

#include "win/paths.h"

#include <windows.h>

#include <string>

// The drive's root: the drive text with "\" appended unless it ends in one.
std::string DrivePathOf(const char *driveText);

// "\DosDevices\" followed by the drive text.
std::string DriverLinkName(const char *driveText);

// What a sefra folder's drive leads to: target joined to volumePath on the
// XP family (the DefineDosDeviceA target), else to devicePath (the driver
// link's).
std::string LinkTargetOf(const std::string &volumePath, const std::string &devicePath, const std::string &target);

// Links driveText to a sefra folder: with DefineDosDeviceA (flags as given)
// on the XP family, else with the driver link, to LinkTargetOf. 0 or the
// error code (GetLastError for the former).
DWORD LinkDrive(const char *driveText, const std::string &volumePath, const std::string &devicePath,
                const std::string &target, DWORD defineFlags);

// 0 when the link of driveText stands: QueryDosDeviceA names it (both
// kinds) and, for the driver's link, the drive's root can be reached (under
// Wine a DefineDosDeviceA link gives no file access). Else the error that
// says why not.
DWORD CheckDriveLink(const char *driveText);

// Removes the link of driveText; the result is not checked. The
// DefineDosDeviceA removal broadcasts by itself; the driver's unlink
// announces nothing, so the shell is told the drive left, unless quiet (a
// drive the shell was never told of).
void UnlinkDrive(const char *driveText, bool quiet = false);

// Something is linked or mounted under driveText (a drive, or a DOS device
// name without file access).
bool IsDriveInUse(const char *driveText);

// UnlinkDrive for a link that a record names, which anyone may have written:
// only a link that is still the one the library made goes. On the XP family
// that is a definition that leads to linkTarget (an exact-match removal);
// elsewhere a drive whose root is folder itself (the same file), where
// folder is a folder in the root of a store volume: its parent is the root
// of its volume and holds the profile, and its name passes IsUsableTarget.
// True when the link went.
bool UnlinkRecordedDrive(const char *driveText, const std::string &linkTarget, const std::string &folder);
