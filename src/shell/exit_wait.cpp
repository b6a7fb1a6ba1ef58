// exit_wait.cpp - WaitExplorerExit, the worker that closes the sefra once
// its Explorer window is gone (asking the user when a program still uses
// the store volume), and the start and join of those workers.
#include "diagnostics/trace.h"
#include "module/mount_lock.h"
#include "res/resource.h"
#include "ui/sefrabox_dlg.h"
#include "win/message_wait.h"
#include "volume/release_drive.h"
#include "win/res_string.h"

#include <memory>
#include <new>

namespace {

constexpr DWORD kWindowPollMs = 10;

struct ExitWaitStart {
    CSefraboxDlg *pDlg;
    LONG lBrowserSerial; // the browser whose window this worker watches
};

} // namespace

bool CSefraboxDlg::StartExitWait()
{
    // Workers that have finished are forgotten; the others are joined by
    // the teardown, so none outlives the dialog object.
    for (size_t i = m_vecExitWaitThreads.size(); i-- > 0;)
        if (WaitForSingleObject(m_vecExitWaitThreads[i].Get(), 0) == WAIT_OBJECT_0)
            m_vecExitWaitThreads.erase(m_vecExitWaitThreads.begin() + static_cast<std::ptrdiff_t>(i));
    std::unique_ptr<ExitWaitStart> start(new (std::nothrow) ExitWaitStart{this, m_lBrowserSerial});
    if (!start)
        return false;
    CKernelHandle thread(CreateThread(nullptr, 0, WaitExplorerExit, start.get(), 0, nullptr));
    if (!thread)
        return false;
    start.release();
    m_vecExitWaitThreads.push_back(std::move(thread));
    return true;
}

void CSefraboxDlg::JoinExitWaitThreads()
{
    // A worker may be announcing the drive's removal to this thread's
    // windows while it is awaited.
    for (CKernelHandle &thread : m_vecExitWaitThreads)
        WaitAnsweringSentMessages(thread.Get(), INFINITE);
    m_vecExitWaitThreads.clear();
}

DWORD WINAPI CSefraboxDlg::WaitExplorerExit(LPVOID param)
{
    const std::unique_ptr<ExitWaitStart> start(static_cast<ExitWaitStart *>(param));
    CSefraboxDlg &dlg = *start->pDlg;
    SB_TRACE("CSefraboxDlg::WaitExplorerExit() startup...");
    while (dlg.m_bExiting == 0 && ::IsWindow(dlg.m_hwndExplorer))
        Sleep(kWindowPollMs);
    SB_TRACE("CSefraboxDlg::WaitExplorerExit() begin exit");
    AcquireMountVolumeLock(kLockPollHandlerMs);
    SB_TRACE("WaitExplorerExit() gained g_MountVolumeLock");
    dlg.OnQuitFromExitWait(start->lBrowserSerial);

    if (dlg.LockVolume()) {
        if (!dlg.UnLockVolume())
            SB_TRACE("UnLockVolume failed! %s", GetErrorText(GetLastError()).c_str());
    } else {
        // A box owned by a window of the dialog's thread would need that
        // thread to answer its messages, and it may be waiting for the lock
        // this worker holds: such a box goes without owner.
        HWND owner = GetForegroundWindow();
        if (owner && GetWindowThreadProcessId(owner, nullptr) == GetWindowThreadProcessId(dlg.m_hWnd, nullptr))
            owner = nullptr;
        if (MessageBoxById(owner, IDS_VOLUME_IN_USE, MB_YESNO | MB_ICONWARNING) != IDYES) {
            ::PostMessageA(dlg.m_hWnd, WM_REOPEN_EXPLORER, 0, 0);
            SB_TRACE("CSefraboxDlg::WaitExplorerExit() soon return");
            ReleaseMountVolumeLock();
            return 0;
        }
    }
    ReleaseSefraDrive();
    if (::IsWindow(dlg.m_hWnd))
        ::PostMessageA(dlg.m_hWnd, WM_ENABLE_CONTROLS, 1, 0);
    ReleaseMountVolumeLock();
    SB_TRACE("CSefraboxDlg::WaitExplorerExit() soon return");
    return 0;
}
