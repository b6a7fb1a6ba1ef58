// drive_link.h - how a drive letter is linked to a sefra folder and unlinked
// again. One naming for every site: a drive text is "X:" (10-byte buffers);
// the XP family links with DefineDosDeviceA, later systems through the
// driver's "\DosDevices\X:" symbolic link.
#pragma once

#include <windows.h>

#include <string>

// A drive letter: A to Z in either case. A drive text names a drive when
// its first byte is one.
inline bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The drive's root: the drive text with "\" appended unless it ends in one.
std::string DrivePathOf(const char *driveText);

// "\DosDevices\" followed by the drive text.
std::string DriverLinkName(const char *driveText);

// Links driveText to a sefra folder: with DefineDosDeviceA (flags as given)
// to volumePath + target on the XP family, else with the driver link to
// devicePath + target. 0 or the error code (GetLastError for the former).
DWORD LinkDrive(const char *driveText, const std::string &volumePath, const std::string &devicePath,
                const std::string &target, DWORD defineFlags);

// 0 when the link of driveText stands: QueryDosDeviceA names it (both
// kinds) and, for the driver's link, the drive's root can be reached (under
// Wine a DefineDosDeviceA link gives no file access). Else the error that
// says why not.
DWORD CheckDriveLink(const char *driveText);

// Removes the link of driveText; the result is not checked. The driver's
// unlink announces nothing, so the shell is told the drive left; the
// DefineDosDeviceA removal broadcasts by itself unless noBroadcast.
void UnlinkDrive(const char *driveText, bool noBroadcast = false);
