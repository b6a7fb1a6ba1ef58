// live_dialog.h - whether the main dialog recorded in g_pSefraboxDlg still
// has a live window, asked from any process.
//
// g_pSefraboxDlg is an address inside the process that showed the dialog, so
// it says nothing by itself once that process is gone or the dialog is
// destroyed. The show entries therefore keep a small record beside the fixed
// shared block, in a named file mapping that every process holding the
// library keeps open: the showing process's id and creation time, the
// dialog's address and, once created, its window. A dialog is alive while
// that process still runs and its window is still a window of that process.
// The record dies with the last process that had it mapped.
#pragma once

#include <windows.h>

// Records dlg as the dialog of this process; its window is not known yet.
// Callers hold g_MountVolumeLock.
void RecordLiveDialog(const void *dlg);

// Notes the window of the recorded dialog of this process.
void SetLiveDialogWindow(const void *dlg, HWND hwnd);

// Forgets dlg when it is the recorded dialog (after its modal run).
void ForgetLiveDialog(const void *dlg);

// True when the recorded dialog's process runs and its window (or, before the
// window exists, its modal run) is still there.
bool IsRecordedDialogAlive();
