// store_mount.h - the store's mount, the one recorded in the shared block
// (g_dwMountHandle) and in the held records (held_records.h).
#pragma once

#include <windows.h>

#include <string>

// MountStoreVolume(file, &g_dwMountHandle, volume768) with its record: the
// note before the call, the mount's record (its handle and device name)
// after. The call's result.
DWORD MountStore(const char *file, char *volume768);

// Gives the mount in g_dwMountHandle back (UnMount_Volume with 255), zeroes
// the handle and forgets its record; nothing when it is 0. The result is
// not checked.
void UnmountStore();

// The device name of a store mount (MakeMountInfoByFileName), "" when the
// handle names no mount.
std::string StoreDeviceName(DWORD handle);

// Callers hold g_MountVolumeLock.
