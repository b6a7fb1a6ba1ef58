// live_dialog.cpp - the machine-wide record of the showing dialog (see
// live_dialog.h).
#include "machine/live_dialog.h"

#include "machine/process_identity.h"
#include "machine/shared_block.h"
#include "machine/shared_records.h"

namespace {

struct LiveDialogRecord {
    volatile LONG lProcessId;  // 0: no dialog recorded
    FILETIME ftProcessCreated; // tells a reused process id from the recorded one
    DWORD dwSessionId;         // the session whose windows that process has
    DWORD dwDialog;            // the dialog object's address in that process
    volatile LONG lWindow;     // its window; 0 until the dialog is created
    volatile LONG lEnded;      // 1 once its modal run is over
};

LiveDialogRecord s_record SEFRABOX_SHARED_RECORD = {};

DWORD SessionOf(DWORD processId)
{
    DWORD session = 0;
    return ProcessIdToSessionId(processId, &session) ? session : MAXDWORD;
}

bool IsOwnRecord(const void *dlg)
{
    return static_cast<DWORD>(s_record.lProcessId) == GetCurrentProcessId() &&
           s_record.dwDialog == static_cast<DWORD>(reinterpret_cast<UINT_PTR>(dlg));
}

} // namespace

void RecordLiveDialog(const void *dlg)
{
    const ProcessIdentity self = CurrentProcessIdentity();
    // Readers see no record while it is rewritten.
    InterlockedExchange(&s_record.lProcessId, 0);
    s_record.ftProcessCreated = self.ftCreated;
    s_record.dwSessionId = SessionOf(self.dwProcessId);
    s_record.dwDialog = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(dlg));
    InterlockedExchange(&s_record.lWindow, 0);
    InterlockedExchange(&s_record.lEnded, 0);
    InterlockedExchange(&s_record.lProcessId, static_cast<LONG>(self.dwProcessId));
}

void SetLiveDialogWindow(const void *dlg, HWND hwnd)
{
    if (IsOwnRecord(dlg))
        InterlockedExchange(&s_record.lWindow, static_cast<LONG>(reinterpret_cast<UINT_PTR>(hwnd)));
}

void ForgetLiveDialog(const void *dlg)
{
    if (IsOwnRecord(dlg))
        InterlockedExchange(&s_record.lEnded, 1);
}

bool IsRecordedDialogAlive()
{
    const DWORD pid = static_cast<DWORD>(s_record.lProcessId);
    if (pid == 0 || s_record.dwDialog != g_pSefraboxDlg)
        return true; // no record of that dialog: nothing tells it is gone
    if (s_record.lEnded != 0 || !IsProcessRunning(pid, s_record.ftProcessCreated))
        return false;
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(s_record.lWindow));
    if (!hwnd)
        return true; // prepared, its window not made yet
    if (s_record.dwSessionId != SessionOf(GetCurrentProcessId()))
        return true; // a window of another session is not visible from here
    DWORD owner = 0;
    return IsWindow(hwnd) && GetWindowThreadProcessId(hwnd, &owner) && owner == pid;
}
