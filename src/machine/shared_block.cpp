// shared_block.cpp - definition of the shared section.
#include "machine/shared_block.h"

// "shared" makes the loader map one copy of the section for all processes.
// The initialiser keeps it in initialised data, zero at first load.
SharedBlock g_SharedBlock __attribute__((section("Sefrabox"), shared)) = {};

char (&g_szMountDeviceName)[768] = g_SharedBlock.szMountDeviceName;
char (&g_szVolumeName)[768] = g_SharedBlock.szVolumeName;
char (&g_szSharedText)[128] = g_SharedBlock.szSharedText;
char (&g_szDriveLetter)[12] = g_SharedBlock.szDriveLetter;
volatile LONG &g_MountVolumeLock = g_SharedBlock.MountVolumeLock;
DWORD &g_dwMountHandle = g_SharedBlock.dwMountHandle;
DWORD &g_pSefraboxDlg = g_SharedBlock.pSefraboxDlg;
