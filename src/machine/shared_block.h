// shared_block.h - the machine-wide data block of the library.
//
// One set of 1688 bytes, the same for every process that has loaded
// Sefrabox.dll (a shared section of the DLL). Its layout is fixed: other
// versions of the library and the suite's programs rely on the offsets.
// Only g_MountVolumeLock guards it; see mount_lock.h.
#pragma once

#include <windows.h>

#include <cstddef>

struct SharedBlock {
    char szMountDeviceName[768];   // 0x000 device name of the mounted store
    char szVolumeName[768];        // 0x300 volume path; empty: no store mounted
    char szSharedText[128];        // 0x600 SetSharedText / GetSharedText slot
    char szDriveLetter[12];        // 0x680 "X:" of the sefra drive; empty: none
    volatile LONG MountVolumeLock; // 0x68C 0 free, 1 held
    DWORD dwMountHandle;           // 0x690 store mount handle; 0: none
    DWORD pSefraboxDlg;            // 0x694 live dialog (address in its process)
};

static_assert(offsetof(SharedBlock, szMountDeviceName) == 0x000, "shared layout");
static_assert(offsetof(SharedBlock, szVolumeName) == 0x300, "shared layout");
static_assert(offsetof(SharedBlock, szSharedText) == 0x600, "shared layout");
static_assert(offsetof(SharedBlock, szDriveLetter) == 0x680, "shared layout");
static_assert(offsetof(SharedBlock, MountVolumeLock) == 0x68C, "shared layout");
static_assert(offsetof(SharedBlock, dwMountHandle) == 0x690, "shared layout");
static_assert(offsetof(SharedBlock, pSefraboxDlg) == 0x694, "shared layout");
static_assert(sizeof(SharedBlock) == 1688, "shared layout");

// The block itself, in the DLL's shared section "Sefrabox".
extern SharedBlock g_SharedBlock;

// The fields under the names the rest of the library uses.
extern char (&g_szMountDeviceName)[768];
extern char (&g_szVolumeName)[768];
extern char (&g_szSharedText)[128];
extern char (&g_szDriveLetter)[12];
extern volatile LONG &g_MountVolumeLock;
extern DWORD &g_dwMountHandle;
extern DWORD &g_pSefraboxDlg;
