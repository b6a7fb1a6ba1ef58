// live_dialog.cpp - the machine-wide record of the showing dialog, kept in
// the named mapping "SefraboxLiveDialog" (see live_dialog.h).
#include "module/live_dialog.h"

#include "module/process_identity.h"

namespace {

struct LiveDialogRecord {
    volatile LONG lProcessId;  // 0: no dialog recorded
    FILETIME ftProcessCreated; // tells a reused process id from the recorded one
    DWORD dwDialog;            // the dialog object's address in that process
    volatile LONG lWindow;     // its window; 0 until the dialog is created
};

constexpr char kMappingName[] = "SefraboxLiveDialog";

// Opened on first use and deliberately never closed: a record lives as long
// as some process that loaded the library does.
LiveDialogRecord *Record()
{
    static LiveDialogRecord *record = [] {
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LiveDialogRecord),
                                            kMappingName);
        if (!mapping)
            return static_cast<LiveDialogRecord *>(nullptr);
        void *view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(LiveDialogRecord));
        if (!view)
            CloseHandle(mapping);
        return static_cast<LiveDialogRecord *>(view);
    }();
    return record;
}

} // namespace

void RecordLiveDialog(const void *dlg)
{
    LiveDialogRecord *record = Record();
    if (!record)
        return;
    const ProcessIdentity self = CurrentProcessIdentity();
    InterlockedExchange(&record->lProcessId, 0);
    record->ftProcessCreated = self.ftCreated;
    record->dwDialog = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(dlg));
    InterlockedExchange(&record->lWindow, 0);
    InterlockedExchange(&record->lProcessId, static_cast<LONG>(self.dwProcessId));
}

void SetLiveDialogWindow(const void *dlg, HWND hwnd)
{
    LiveDialogRecord *record = Record();
    if (record && static_cast<DWORD>(record->lProcessId) == GetCurrentProcessId() &&
        record->dwDialog == static_cast<DWORD>(reinterpret_cast<UINT_PTR>(dlg)))
        InterlockedExchange(&record->lWindow, static_cast<LONG>(reinterpret_cast<UINT_PTR>(hwnd)));
}

void ForgetLiveDialog(const void *dlg)
{
    LiveDialogRecord *record = Record();
    if (record && static_cast<DWORD>(record->lProcessId) == GetCurrentProcessId() &&
        record->dwDialog == static_cast<DWORD>(reinterpret_cast<UINT_PTR>(dlg)))
        InterlockedExchange(&record->lProcessId, 0);
}

bool IsRecordedDialogAlive()
{
    LiveDialogRecord *record = Record();
    if (!record)
        return false;
    const DWORD pid = static_cast<DWORD>(record->lProcessId);
    if (pid == 0)
        return false;
    if (!IsProcessRunning(pid, record->ftProcessCreated))
        return false;
    const HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(record->lWindow));
    if (!hwnd)
        return true; // prepared, its window not made yet
    DWORD owner = 0;
    return IsWindow(hwnd) && GetWindowThreadProcessId(hwnd, &owner) && owner == pid;
}
