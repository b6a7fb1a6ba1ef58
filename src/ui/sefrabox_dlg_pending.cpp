// sefrabox_dlg_pending.cpp - CSefraboxDlg handlers whose behaviour is not
// built yet. PENDING: each one traces its entry and does nothing else; the
// file that implements one deletes it here. None of them is finished.
#include "diagnostics/trace.h"
#include "ui/sefrabox_dlg.h"

// PENDING: the dialog's timers.
void CSefraboxDlg::OnTimer(UINT_PTR) {}

// PENDING: drive arrival and removal.
void CSefraboxDlg::OnShellChangeNotify(WPARAM, LPARAM) {}

// PENDING: a new Explorer window on the sefra drive.
void CSefraboxDlg::OnReopenExplorer() { SB_TRACE("CSefraboxDlg::OnReopenExplorer()"); }

// PENDING: input redirection while an Explorer window is shown.
bool CSefraboxDlg::PreTranslateMessage(MSG *msg) { return CDialog::PreTranslateMessage(msg); }

// PENDING: browser events.
void CSefraboxDlg::WindowRegistered(long) { SB_TRACE("CSefraboxDlg::WindowRegistered()"); }
void CSefraboxDlg::OnQuit() { SB_TRACE("CSefraboxDlg::OnQuit()"); }
void CSefraboxDlg::DocumentComplete(IDispatch *, VARIANT *) {}
