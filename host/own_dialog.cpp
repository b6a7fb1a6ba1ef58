// own_dialog.cpp - WaitForOwnDialog (see own_dialog.h).
#include "own_dialog.h"

#include "window_finders.h"

HWND WaitForOwnDialog(int controlId, DWORD timeoutMs, const std::atomic<bool> *stop)
{
    CWindowQuery dialogs = ShownWindows().OfProcess(GetCurrentProcessId()).OfClass(kDialogClass);
    if (controlId != 0)
        dialogs.WithControl(controlId);
    return dialogs.WaitFor(timeoutMs, [stop] { return stop && *stop; });
}
