// drive_label.h - SetDriveLabel, the name Explorer shows for a sefra drive:
// Explorer's per-letter label key under HKEY_LOCAL_MACHINE.
#pragma once

#include <windows.h>

// set non-zero: writes label as the default value of
// DriveIcons\<letter>\DefaultLabel, creating missing keys; 87 when label is
// null or unreadable. set 0: deletes DriveIcons\<letter> with all its
// subkeys; other letters are left alone. Only the low byte of letter counts;
// a byte that is not a letter A to Z (either case) gives 87 in both modes
// and touches nothing. A Win32 error code, 0 on success. Callers hold
// g_MountVolumeLock.
DWORD SetDriveLabel(int letter, const char *label, int set);
