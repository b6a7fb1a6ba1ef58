// show_entry.cpp - SB_ShowDlg (ordinal 10) and SB_ShowDlgWithParent (ordinal
// 25): the main dialog prepared on the store and run modally on the caller's
// thread, one at a time on the whole machine.
#include "Sefrabox.h"
#include "diagnostics/trace.h"
#include "machine/live_dialog.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "module/leftovers.h"
#include "suite/Dravel.h"
#include "ui/sefrabox_dlg.h"
#include "win/handles.h"
#include "win/pointers.h"

#include <cstddef>
#include <cstring>

namespace {

// Notes the main dialog's window in the live record as soon as it exists;
// installed on the entry's thread for the modal run only.
CSefraboxDlg *s_pShowingDlg = nullptr;
CHookHandle s_showHook;

LRESULT CALLBACK ShowHookProc(int code, WPARAM w, LPARAM l)
{
    if (code == HC_ACTION && s_pShowingDlg) {
        const auto *msg = reinterpret_cast<const CWPRETSTRUCT *>(l);
        if (msg->message == WM_INITDIALOG && msg->hwnd == s_pShowingDlg->GetSafeHwnd()) {
            SetLiveDialogWindow(s_pShowingDlg, msg->hwnd);
            s_pShowingDlg = nullptr;
        }
    }
    return CallNextHookEx(s_showHook.Get(), code, w, l);
}

INT_PTR RunModal(CSefraboxDlg &dlg)
{
    s_pShowingDlg = &dlg;
    s_showHook.Reset(SetWindowsHookExA(WH_CALLWNDPROCRET, ShowHookProc, nullptr, GetCurrentThreadId()));
    const INT_PTR result = dlg.DoModal();
    s_showHook.Reset();
    s_pShowingDlg = nullptr;
    // A teardown that found this thread holding the lock is over before the
    // dialog counts as ended: till then its visit is its own.
    dlg.FinishDeferredTeardown();
    ForgetLiveDialog(&dlg);
    return result;
}

// With the lock held: false when the recorded dialog is alive (the lock is
// then released); otherwise what a dead dialog or any dead process left is
// cleaned up.
bool ClearDeadDialog(CMountVolumeLockHolder &lock, bool log)
{
    if (g_pSefraboxDlg != 0) {
        if (IsRecordedDialogAlive()) {
            lock.Release();
            if (log)
                SB_TRACE("g_pSefraboxDlg IsWindow()");
            return false;
        }
        ClearDeadDialogLeftovers();
    }
    ClearDeadOwnersLeftovers();
    return true;
}

DWORD AddressOf(const CSefraboxDlg &dlg) { return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(&dlg)); }

static_assert(offsetof(SEFRABOX_WND_OBJECT, hWnd) == SEFRABOX_WND_HANDLE_OFFSET, "public layout");
static_assert(SEFRABOX_WND_HANDLE_OFFSET == kFrameworkHandleOffset, "the dialog's own layout");
static_assert(sizeof(CSefraboxDlg) <= SEFRABOX_WND_OBJECT_SIZE, "the size callers are promised");

// The window of a caller's window object, read where the caller's framework
// keeps it. A handle that is not a window is refused: the dialog would run
// without the owner the caller asked for.
HWND ParentWindowOf(const CWnd *pParent)
{
    if (!pParent || !IsReadableBlock(pParent, sizeof(CSefraboxDlg)))
        return nullptr;
    HWND hwnd = nullptr;
    std::memcpy(&hwnd, reinterpret_cast<const BYTE *>(pParent) + SEFRABOX_WND_HANDLE_OFFSET, sizeof hwnd);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

// With the lock held: prepares dlg on the store, records it as the live
// dialog, releases the lock and runs it modally. 2 when the preparation
// fails. pWnd and pbClosedByHotKey may be null.
int PrepareAndRun(CSefraboxDlg &dlg, CMountVolumeLockHolder &lock, const char *lpSefraName, int *pnResult,
                  CSefraboxDlg **pWnd, int *pbClosedByHotKey)
{
    if (!dlg.Initialize(lpSefraName, pnResult, FALSE)) {
        lock.Release();
        SB_TRACE("CSefraboxDlg::Initialize() failed!");
        return 2;
    }
    // Recorded before the lock goes, so that no other entry sees a prepared
    // dialog as none; the record first, so that the address is never found
    // without it.
    RecordLiveDialog(&dlg);
    g_pSefraboxDlg = AddressOf(dlg);
    lock.Release();
    const bool stored = IsWritableBlock(pWnd, sizeof *pWnd);
    if (stored) {
        *pWnd = &dlg;
        SB_TRACE("*pWnd = 0x%08X", static_cast<unsigned>(AddressOf(dlg)));
    }
    const int result = static_cast<int>(RunModal(dlg));
    if (stored)
        *pWnd = nullptr;
    if (IsWritableBlock(pbClosedByHotKey, sizeof *pbClosedByHotKey))
        *pbClosedByHotKey = dlg.ClosedByHotKey() ? 1 : 0;
    SB_TRACE("After CSefraboxDlg::DoModal()");
    return result;
}

} // namespace

extern "C" int __cdecl SB_ShowDlg(const char *lpSefraName, int *pnResult, int *pbClosedByHotKey, CSefraboxDlg **pWnd)
{
    SB_TRACE("SB_ShowDlg() of Sefrabox");
    CMountVolumeLockHolder lock = CMountVolumeLockHolder::TryAcquire();
    if (!lock.Held()) {
        SB_TRACE("1 == g_MountVolumeLock");
        return 2;
    }
    if (!ClearDeadDialog(lock, true))
        return 2;
    int result = 2;
    try {
        CSefraboxDlg dlg(GetDesktopWindow());
        result = PrepareAndRun(dlg, lock, lpSefraName, pnResult, pWnd, pbClosedByHotKey);
    } catch (...) {
        // No exception crosses the export boundary.
        lock.Release();
        result = 2;
    }
    SB_TRACE("SB_ShowDlg() soon return.");
    return result;
}

extern "C" int __cdecl SB_ShowDlgWithParent(CWnd *pParentWnd, int *pnResult)
{
    SB_TRACE("SB_ShowDlg() of Sefrabox");
    const HWND parent = ParentWindowOf(pParentWnd);
    if (!parent)
        return 2;
    CMountVolumeLockHolder lock = CMountVolumeLockHolder::TryAcquire();
    if (!lock.Held())
        return 2;
    if (!ClearDeadDialog(lock, false))
        return 2;
    try {
        CSefraboxDlg dlg(parent);
        return PrepareAndRun(dlg, lock, nullptr, pnResult, nullptr, nullptr);
    } catch (...) {
        lock.Release();
        return 2;
    }
}
