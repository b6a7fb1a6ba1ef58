// drive_label.h - SetDriveLabel, the name Explorer shows for a sefra drive:
// Explorer's per-letter label key under HKEY_LOCAL_MACHINE.
#pragma once

#include <windows.h>

// What SetDriveLabel does with a letter's label.
enum class DriveLabelMode { Remove = 0, Write = 1 };

// Write: writes label as the default value of
// DriveIcons\<letter>\DefaultLabel, creating missing keys; 87 when label is
// null or unreadable. Remove: deletes that value, then DefaultLabel and
// DriveIcons\<letter> when each is left empty; whatever else the letter's
// key holds (a DefaultIcon) stays, as do other letters. A missing key or
// value gives its open or delete error and changes nothing. Only the low byte of letter counts;
// a byte that is not a letter A to Z (either case) gives 87 in both modes
// and touches nothing. A Win32 error code, 0 on success. Callers hold
// g_MountVolumeLock.
DWORD SetDriveLabel(int letter, const char *label, DriveLabelMode mode);
