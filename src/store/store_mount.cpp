// store_mount.cpp - UnmountStore.
#include "store/store_mount.h"

#include "module/shared_block.h"
#include "suite/Kestor.h"

void UnmountStore()
{
    if (g_dwMountHandle == 0)
        return;
    UnMount_Volume(255, g_dwMountHandle);
    g_dwMountHandle = 0;
}
