// visit_state.h - the main dialog's part of a visit's state: its controls
// and look (DialogControls), and what the other areas use of it
// (DialogShared). Both are bases of SefraVisitState (sefrabox_dlg.h).
#pragma once

#include "ui/progress_dlgs.h"
#include "ui/skin_bitmap.h"
#include "ui/skin_button.h"
#include "win/gdi.h"

#include <windows.h>

#include <memory>
#include <string>

// Written and read by ui/ only: the constructor, DoDataExchange and
// OnInitDialog (sefrabox_dlg.cpp), the rows, painting and the hot key
// (sefrabox_controls.cpp).
struct DialogControls {
    int m_bClosedByHotKey = 0; // set by OnHotKey; the show entries ask ClosedByHotKey()
    CSkinButton m_btnEnter2, m_btnEnter3, m_btnEnter1;
    CSkinButton m_btnSetPwd2, m_btnSetPwd3, m_btnSetPwd1;
    CSkinButton m_btnPlatform3, m_btnPlatform2, m_btnPlatform1;
    CSkinButton m_btnClose;
    std::string m_szPwd1, m_szPwd3, m_szPwd2; // the rows' password edits
    // The window's region: once handed over (SetWindowRgn) it belongs to
    // the window.
    CRgnView m_rgnWindow;
    CBrushView m_brCtlColor; // the stock NULL_BRUSH
    CSkinBitmap m_bmpBack;
    // The background painted: m_bmpBack's, or m_bmpDefaultBack's when the
    // picture file gave none.
    CBitmapView m_hBackBitmap;
    CBitmapObject m_bmpDefaultBack; // bitmap resource 1123, loaded on demand
};

// Used by other areas too: each member says who writes and who reads it.
struct DialogShared {
    // The chosen platform button, 0 before any. Written by OnPlatformButton;
    // read by OpenSefra and RunCopyDialog (volume/), SetPassword and
    // ReadSefraPassword (store/).
    int m_nSelButton = 0;
    // The window shown while a sefra opens. Made by ShowOpeningDialog; ended
    // by EndOpening (shell/), OpenInCopyMode, RunCopyDialog and ReleaseVisit
    // (volume/).
    std::unique_ptr<COpeningDlg> m_pOpenningDlg;
    // The shell change notification (WM_SHELL_CHANGE). Registered by
    // OnInitDialog; given up by OnDestroy (volume/).
    ULONG m_ulNotifyID = 0;
};
