// store_mount.cpp - UnmountStore.
#include "store/store_mount.h"

#include "Kestor.h"
#include "module/shared_block.h"

void UnmountStore()
{
    if (g_dwMountHandle == 0)
        return;
    UnMount_Volume(255, g_dwMountHandle);
    g_dwMountHandle = 0;
}
