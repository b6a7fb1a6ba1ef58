// drives.h - drive letters that lead to folders, under Wine and Windows.
//
// Under Wine a drive is made through the mount manager (a real drive, with
// the container as raw device when one is given). On Windows the drive is a
// DOS device name whose raw target is the folder's NT path (like "subst");
// there is no raw device, so "\\.\X:" does not read a container there.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Letters in use as a bit mask (bit 0 = A): GetLogicalDrives plus every
// letter that has a DOS device name (names made by DefineDosDevice are not
// always counted by GetLogicalDrives).
DWORD UsedDriveMask();

// True when the letter is in use (see UsedDriveMask).
bool DriveInUse(char letter);

// Makes drive letter lead to folder (an existing folder, full DOS path);
// container, when not empty, becomes the raw device (Wine only).
// The letter must be free. 0 or a Windows error code.
DWORD DefineFolderDrive(char letter, const std::string &folder, const std::string &container);

// Removes what DefineFolderDrive made. 0 or a Windows error code.
DWORD RemoveFolderDrive(char letter, const std::string &folder);

// True when the root of drive letter is the folder itself (same file
// identity), or when both are gone (the folder was deleted under its
// drive), so that a drive redefined by someone else is left alone.
bool DriveLeadsTo(char letter, const std::string &folder);

// Upper-case letter of 'a'..'z' / 'A'..'Z', else 0.
char DriveLetterOf(int c);

} // namespace standin
