// shell_notify.cpp - the dialog's handlers that move the Explorer window
// from outside the browser events: the shell change notification and the
// drive's arrival, the reopen request, the controls given back after the
// close, and the work that waits while the dialog's own thread holds
// g_MountVolumeLock.
#include "diagnostics/trace.h"
#include "module/mount_lock.h"
#include "module/shared_block.h"
#include "ui/sefrabox_dlg.h"
#include "volume/drive_link.h"

namespace {

constexpr LONG kDriveAdd = SHCNE_DRIVEADD;

} // namespace

std::string CSefraboxDlg::GetPathFromIDList(LPCITEMIDLIST pidl)
{
    char path[MAX_PATH] = {};
    if (!pidl || !SHGetPathFromIDListA(pidl, path))
        return std::string();
    path[MAX_PATH - 1] = '\0';
    return path;
}

void CSefraboxDlg::OnShellChangeNotify(WPARAM w, LPARAM l)
{
    const auto *items = reinterpret_cast<const LPCITEMIDLIST *>(w);
    const LPCITEMIDLIST first = items ? items[0] : nullptr;
    const LPCITEMIDLIST second = items ? items[1] : nullptr;
    const std::string path1 = GetPathFromIDList(first), path2 = GetPathFromIDList(second);
    SB_TRACE("OnShellChangNotify(0x%08X, 0x%08X, 0x%08X)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(first)),
             static_cast<unsigned>(reinterpret_cast<UINT_PTR>(second)), static_cast<unsigned>(l));
    SB_TRACE("OnShellChangNotify(%s, %s)", path1.c_str(), path2.c_str());
    // m_szDrivePath names the sefra drive only while it is open: a drive
    // that arrives later under the same letter is another one.
    if (m_pnResult || l != kDriveAdd || m_szDrivePath.empty() || path1 != m_szDrivePath) {
        SB_TRACE("CSefraboxDlg::OnShellChangeNotify() return soon");
        return;
    }
    // Wine delivers the notification from inside SHChangeNotify, which the
    // drive's link makes while it holds g_MountVolumeLock on this thread:
    // taking the lock here would wait for ever. The rest runs from the loop.
    PostMessage(WM_SEFRA_DRIVE_ARRIVED);
}

bool CSefraboxDlg::DeferWhileLockHeldHere(unsigned work, const char *what)
{
    if (!IsMountVolumeLockHeldHere())
        return false;
    m_uDeferredWork |= work;
    SetTimer(m_hWnd, RETRY_DEFERRED_WORK, kLockPollHandlerMs, nullptr);
    SB_TRACE("%s waits: this thread holds g_MountVolumeLock", what);
    return true;
}

void CSefraboxDlg::OnRetryDeferredWork()
{
    if (IsMountVolumeLockHeldHere())
        return; // the timer comes again
    KillTimer(m_hWnd, RETRY_DEFERRED_WORK);
    const unsigned work = m_uDeferredWork;
    m_uDeferredWork = 0;
    if (work & kDeferWindowRegistered)
        WindowRegistered(0);
    if (work & kDeferDriveArrived)
        OnSefraDriveArrived();
    if (work & kDeferSessionEnd)
        OnDestroy();
}

void CSefraboxDlg::OnSefraDriveArrived()
{
    if (DeferWhileLockHeldHere(kDeferDriveArrived, "CSefraboxDlg::OnShellChangeNotify()"))
        return;
    CMountVolumeLockHolder lock(kLockPollHandlerMs);
    SB_TRACE("CSefraboxDlg::OnShellChangeNotify() gained g_MountVolumeLock");
    if (::IsWindow(m_hwndExplorer)) {
        SB_TRACE("IsWindow(m_hwndExplorer)");
        return;
    }
    EnableWindow(true);
    if (m_pOpenningDlg) {
        SB_TRACE("Before m_pOpenningDlg->EndDialog(0)");
        m_pOpenningDlg->EndDialog(0);
        SB_TRACE("After m_pOpenningDlg->EndDialog(0)");
    }
    CreateNewShellWindow();
    lock.Release();
    SB_TRACE("CSefraboxDlg::OnShellChangeNotify() return soon");
}

void CSefraboxDlg::OnReopenExplorer() { CreateNewShellWindow(); }

// Posted by the exit wait once it released the drive: the sefra is closed,
// unless another one was opened since.
void CSefraboxDlg::OnEnableControls(BOOL enable)
{
    EnableSefraControls(enable);
    if (!IsDriveLetter(g_szDriveLetter[0]))
        m_szDrivePath.clear();
}
