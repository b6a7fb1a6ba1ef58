// show_noinit.cpp - SB_ShowDlgNoInit (ordinal 11): the main dialog without
// store, platform lists, lock or shared block.
#include "Sefrabox.h"

#include "ui/sefrabox_dlg.h"
#include "win/pointers.h"

extern "C" int __cdecl SB_ShowDlgNoInit(const char *lpText)
{
    // The text is only tested, never used.
    if (lpText && !IsReadableText(lpText, kMaxTextProbe))
        return 2;
    try {
        CSefraboxDlg dlg(nullptr);
        return static_cast<int>(dlg.DoModal());
    } catch (...) {
        // No exception crosses the export boundary: as a dialog that could not run.
        return -1;
    }
}
