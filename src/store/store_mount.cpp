// store_mount.cpp - MountStore, UnmountStore and StoreDeviceName.
#include "store/store_mount.h"

#include "machine/held_records.h"
#include "machine/shared_block.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"

DWORD MountStore(const char *file, char *volume768)
{
    const DWORD before = g_dwMountHandle;
    NoteMountStarting(file);
    const DWORD rc = MountStoreVolume(file, &g_dwMountHandle, volume768);
    // A handle the call left as it was is not its mount.
    const DWORD made = g_dwMountHandle != before ? g_dwMountHandle : 0;
    NoteMountDone(HeldKind::StoreMount, made, 0, made != 0 ? StoreDeviceName(made) : std::string());
    return rc;
}

void UnmountStore()
{
    const DWORD handle = g_dwMountHandle;
    if (handle == 0)
        return;
    UnMount_Volume(255, handle);
    g_dwMountHandle = 0;
    ForgetHeldMount(HeldKind::StoreMount, handle);
}

std::string StoreDeviceName(DWORD handle)
{
    char device[768] = {};
    if (MakeMountInfoByFileName(handle, device) != 0)
        return std::string();
    device[sizeof device - 1] = '\0';
    return device;
}
