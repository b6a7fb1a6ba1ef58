// mounts.h - mounting containers and linking drives, shared by the stand-ins.
//
// A container is a file that starts with a 512-byte boot block (byte 0x41:
// dirty flag). The files of its volume live in the content folder beside it,
// "<container>.files", made on the first mount. A mount gives the container
// a drive letter whose root is the content folder and whose raw device
// ("\\.\X:") is the container file (Wine). Every mount and link is recorded
// in the mount table (mount_table.h), so any process can undo it.
#pragma once

#include "mount_table.h"

#include <windows.h>

#include <string>

namespace standin {

constexpr char kContentFolderSuffix[] = ".files";
constexpr DWORD kBootBlockSize = 512;
// Device names of mounts in the driver's name space: this prefix and the
// mount handle in eight upper-case hex digits, e.g. "\Device\SefraVolume00000001".
constexpr char kDeviceNamePrefix[] = "\\Device\\SefraVolume";

// A free letter, from Z downwards, never A-C: no drive uses it and no mount
// or link is recorded for it. 0 when none is free.
char FreeDriveLetter();

// Mounts the container (a path of up to MAX_PATH characters) under a free
// letter; record receives the handle, letter and paths. Errors: the
// system's code when the container cannot be found or opened (2, 3, ...),
// 13 (ERROR_INVALID_DATA) when it is shorter than a boot block, 5 when it
// is a folder, 85 when no letter is free.
DWORD MountContainer(const char *container, MountRecord &record);

// Undoes MountContainer. drive: 255, or the mount's letter (either case).
// 6 (ERROR_INVALID_HANDLE) for a handle that is not (or no more) mounted,
// 87 for a letter that is not the mount's.
DWORD UnmountContainer(DWORD drive, DWORD handle);

// The device name of a mount (see kDeviceNamePrefix).
std::string DeviceNameOf(DWORD handle);

// Links drive letter to a folder: target is a device name with an optional
// "\sub\folders" tail, an NT path ("\??\C:\x", "\DosDevices\C:\x") or a DOS
// path. 0, 3 (target folder missing), 85 (letter in use) or another code.
DWORD LinkDrive(char letter, const std::string &target);

// Removes a link made by LinkDrive; 2 when the letter is not such a link.
DWORD UnlinkDrive(char letter);

} // namespace standin
