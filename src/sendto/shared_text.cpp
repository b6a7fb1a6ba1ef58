// shared_text.cpp - SetSharedText and GetSharedText: one text in the shared
// block, the same for every process that has loaded the library.
#include "Sefrabox.h"

#include "machine/shared_block.h"
#include "win/pointers.h"

#include <cstring>

extern "C" {

int __cdecl SetSharedText(const char *lpText)
{
    // A text that does not fit the 128-byte slot with its terminator is
    // refused rather than cut or run past the slot.
    if (!IsReadableText(lpText, sizeof g_szSharedText - 1))
        return FALSE;
    const size_t len = std::strlen(lpText);
    std::memcpy(g_szSharedText, lpText, len + 1);
    return TRUE;
}

int __cdecl GetSharedText(char *lpBuffer)
{
    // The buffer must take the whole slot: it is tested for writing, not
    // only for reading, so a read-only buffer is refused instead of faulting.
    if (!IsWritableBlock(lpBuffer, sizeof g_szSharedText))
        return FALSE;
    // The slot may hold anything another process wrote: stop at its end.
    const size_t len = strnlen(g_szSharedText, sizeof g_szSharedText - 1);
    std::memcpy(lpBuffer, g_szSharedText, len);
    lpBuffer[len] = '\0';
    return TRUE;
}

} // extern "C"
