// mount_manager.h - Wine's mount manager: drives that really work under Wine.
//
// Wine's DefineDosDeviceA only records a name; files cannot be reached
// through such a drive. The mount manager ("\\.\MountPointManager") makes a
// real drive: a Unix folder as the drive's root and, optionally, a Unix file
// as its raw device, which "\\.\X:" then opens. Drives made this way persist
// in the prefix (dosdevices links and HKLM\Software\Wine\Drives) until they
// are removed again.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// True when running under Wine (kernel32 exports wine_get_unix_file_name).
bool IsWine();

// The Unix path of an existing DOS path, or false (not Wine, not found).
bool UnixPathOf(const std::string &dosPath, std::string &unixPath);

// Defines drive letter (A-Z) with unixFolder as its root and unixDevice as
// its raw device (empty: none). Replaces whatever the letter held before,
// so callers check that the letter is free. 0 or a Windows error code.
DWORD DefineUnixDrive(char letter, const std::string &unixFolder, const std::string &unixDevice);

// Removes a drive defined through the mount manager, its raw device link
// included. 0 or a Windows error code.
DWORD RemoveUnixDrive(char letter, const std::string &unixFolder);

} // namespace standin
