// exit_wait.cpp - WaitExplorerExit, the worker that closes the sefra once
// its Explorer window is gone (asking the user when a program still uses
// the store volume), and the start and join of those workers.
//
// A worker reads nothing of the dialog object but what its start record
// hands it: the windows it watches and posts to, the dialog's exiting flag,
// and the store volume, which it reads only while it holds g_MountVolumeLock
// (the teardown closes the volume under the lock).
#include "diagnostics/trace.h"
#include "machine/mount_lock.h"
#include "res/resource.h"
#include "ui/sefrabox_dlg.h"
#include "volume/release_drive.h"
#include "volume/volume_lock.h"
#include "win/message_wait.h"
#include "win/res_string.h"

#include <memory>
#include <new>

namespace {

constexpr DWORD kWindowPollMs = 10;

} // namespace

struct CSefraboxDlg::ExitWaitStart {
    HWND hwndDialog;              // the dialog, to which the worker posts
    HWND hwndExplorer;            // the Explorer window it watches
    LONG lBrowserSerial;          // the browser of that window
    const volatile int *pExiting; // the dialog's m_bExiting
    const CFileHandle *pVolume;   // the dialog's m_hVolume
    std::string probeFolder;      // where a program may hold files of the visit
};

namespace {

// OnQuit as the exit-wait worker makes it. The worker may not touch the
// browser: it belongs to the dialog's apartment, and the dialog's thread may
// be waiting for the lock the worker holds. The release is posted instead;
// the serial makes sure that a browser adopted in the meantime is not the
// one released. Every release runs on the dialog's thread, so the browser is
// released exactly once.
void PostBrowserRelease(HWND dialog, LONG serial)
{
    SB_TRACE("CSefraboxDlg::OnQuit()");
    ::PostMessageA(dialog, WM_RELEASE_BROWSER, static_cast<WPARAM>(serial), 0);
    SB_TRACE("CSefraboxDlg::OnQuit() soon return");
}

} // namespace

bool CSefraboxDlg::StartExitWait()
{
    // Workers that have finished are forgotten; the others are joined by
    // the teardown, so none outlives the dialog object.
    for (size_t i = m_vecExitWaitThreads.size(); i-- > 0;)
        if (WaitForSingleObject(m_vecExitWaitThreads[i].Get(), 0) == WAIT_OBJECT_0)
            m_vecExitWaitThreads.erase(m_vecExitWaitThreads.begin() + static_cast<std::ptrdiff_t>(i));
    const std::string &folder = m_szSefraFolder.empty() ? m_szVolumeName : m_szSefraFolder;
    std::unique_ptr<ExitWaitStart> start(
        new (std::nothrow) ExitWaitStart{m_hWnd, m_hwndExplorer, m_lBrowserSerial, &m_bExiting, &m_hVolume, folder});
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
    SB_TRACE("CSefraboxDlg::WaitExplorerExit() startup...");
    while (*start->pExiting == 0 && ::IsWindow(start->hwndExplorer))
        Sleep(kWindowPollMs);
    SB_TRACE("CSefraboxDlg::WaitExplorerExit() begin exit");
    CMountVolumeLockHolder lock(kLockPollHandlerMs);
    SB_TRACE("WaitExplorerExit() gained g_MountVolumeLock");
    PostBrowserRelease(start->hwndDialog, start->lBrowserSerial);

    const HANDLE volume = start->pVolume->Get();
    if (LockOpenStoreVolume(volume, start->probeFolder)) {
        if (!UnlockOpenStoreVolume(volume))
            SB_TRACE_LAST_ERROR("UnLockVolume");
    } else {
        // A box owned by a window of the dialog's thread would need that
        // thread to answer its messages, and it may be waiting for the lock
        // this worker holds: such a box goes without owner.
        HWND owner = GetForegroundWindow();
        if (owner && GetWindowThreadProcessId(owner, nullptr) == GetWindowThreadProcessId(start->hwndDialog, nullptr))
            owner = nullptr;
        if (MessageBoxById(owner, IDS_VOLUME_IN_USE, MB_YESNO | MB_ICONWARNING) != IDYES) {
            ::PostMessageA(start->hwndDialog, WM_REOPEN_EXPLORER, 0, 0);
            SB_TRACE("CSefraboxDlg::WaitExplorerExit() soon return");
            return 0;
        }
    }
    ReleaseSefraDrive();
    if (::IsWindow(start->hwndDialog))
        ::PostMessageA(start->hwndDialog, WM_ENABLE_CONTROLS, 1, 0);
    lock.Release();
    SB_TRACE("CSefraboxDlg::WaitExplorerExit() soon return");
    return 0;
}
