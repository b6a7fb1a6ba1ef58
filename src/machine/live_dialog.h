// live_dialog.h - whether the main dialog recorded in g_pSefraboxDlg still
// has a live window, asked from any process.
//
// g_pSefraboxDlg is an address inside the process that showed the dialog, so
// it says nothing by itself once that process is gone or the dialog is
// destroyed. The show entries therefore keep a small record beside the fixed
// shared block, in a shared section of its own with the same reach (every
// process that loads the library, whatever its session): the showing
// process's id, creation time and session, the dialog's address, its window
// once created, and whether its modal run is over.
//
// A dialog is dead when its record says so: the run is over, its process
// has ended, or its window is gone from that process. Where the record
// cannot answer (it names another dialog or none, or the window lives in
// another session where this process cannot see it) the dialog counts as
// alive: a dialog that may be alive keeps its drive and its store.
#pragma once

#include <windows.h>

// Records dlg as the dialog of this process; its window is not known yet.
// Callers hold g_MountVolumeLock and set g_pSefraboxDlg after this.
void RecordLiveDialog(const void *dlg);

// Notes the window of the recorded dialog of this process.
void SetLiveDialogWindow(const void *dlg, HWND hwnd);

// Marks dlg's run as over when it is the recorded dialog.
void ForgetLiveDialog(const void *dlg);

// False only when the record of the dialog in g_pSefraboxDlg shows it dead.
bool IsRecordedDialogAlive();
