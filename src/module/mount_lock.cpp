// mount_lock.cpp - acquire and release of g_MountVolumeLock.
#include "module/mount_lock.h"

#include "module/shared_block.h"

bool TryAcquireMountVolumeLock() { return InterlockedCompareExchange(&g_MountVolumeLock, 1, 0) == 0; }

void AcquireMountVolumeLock(DWORD pollMs)
{
    while (!TryAcquireMountVolumeLock())
        Sleep(pollMs);
}

void ReleaseMountVolumeLock() { InterlockedExchange(&g_MountVolumeLock, 0); }
