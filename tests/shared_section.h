// shared_section.h - the tests' own view of Sefrabox.dll's shared block: the
// "Sefrabox" section of the loaded DLL, found through its section table, and
// the fields at their fixed offsets. The DLL exports nothing for this, so
// the view also proves the layout other programs rely on.
#pragma once

#include "pe_image.h"

#include <windows.h>

constexpr DWORD kSharedBlockSize = 1688;
constexpr DWORD kSharedTextOffset = 0x600;
constexpr DWORD kMountVolumeLockOffset = 0x68C;

inline BYTE *SharedBlockOf(HMODULE sefrabox)
{
    DWORD size = 0;
    auto block = static_cast<BYTE *>(FindSection(sefrabox, "Sefrabox", &size));
    return block && size >= kSharedBlockSize ? block : nullptr;
}

inline volatile LONG *MountVolumeLockOf(HMODULE sefrabox)
{
    BYTE *block = SharedBlockOf(sefrabox);
    return block ? reinterpret_cast<volatile LONG *>(block + kMountVolumeLockOffset) : nullptr;
}

// The library's own acquire rule: compare-and-exchange from 0 to 1.
inline bool TryTakeLock(volatile LONG *lock) { return InterlockedCompareExchange(lock, 1, 0) == 0; }
