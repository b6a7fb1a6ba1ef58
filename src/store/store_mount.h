// store_mount.h - the end of the store's mount, the one recorded in the
// shared block.
#pragma once

// Gives the mount in g_dwMountHandle back (UnMount_Volume with 255) and
// zeroes the handle; nothing when it is 0. The result is not checked.
// Callers hold g_MountVolumeLock.
void UnmountStore();
