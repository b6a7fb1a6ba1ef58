// shell_notify.cpp - the dialog's handlers that move the Explorer window
// from outside the browser events: the shell change notification and the
// drive's arrival and the bound of the wait for it, the reopen request, the
// controls given back after the close, and the work that waits while the
// dialog's own thread holds g_MountVolumeLock.
#include "diagnostics/trace.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "ui/sefrabox_dlg.h"
#include "volume/drive_link.h"
#include "volume/release_drive.h"
#include "win/pointers.h"
#include "win/res_string.h"

#include <cctype>

namespace {

constexpr LONG kDriveAdd = SHCNE_DRIVEADD;

// How long the opening window waits for the drive's arrival before the
// dialog looks at the drive itself. The arrival normally follows the link
// at once; a busy machine that runs 32-bit code under emulation may take
// seconds. Without a notification (no registration, an announcement that
// never reaches the dialog) the person waits this long once per opening.
constexpr UINT kDriveArrivalBoundMs = 10000;

} // namespace

std::string CSefraboxDlg::GetPathFromIDList(LPCITEMIDLIST pidl)
{
    char path[MAX_PATH] = {};
    if (!IsReadableIdList(pidl) || !SHGetPathFromIDListA(pidl, path))
        return std::string();
    path[MAX_PATH - 1] = '\0';
    return path;
}

void CSefraboxDlg::OnShellChangeNotify(WPARAM w, LPARAM l)
{
    // Any process may post this message: its pointers are probed before use.
    const auto *items = reinterpret_cast<const LPCITEMIDLIST *>(w);
    const bool readable = IsReadableBlock(items, 2 * sizeof *items);
    const LPCITEMIDLIST first = readable ? items[0] : nullptr;
    const LPCITEMIDLIST second = readable ? items[1] : nullptr;
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
    // A window was launched already, or the wait gave the drive up.
    if (!m_bAwaitingDrive) {
        SB_TRACE("CSefraboxDlg::OnShellChangeNotify(): no opening awaits the drive");
        return;
    }
    EndOpening();
    CreateNewShellWindow();
    lock.Release();
    SB_TRACE("CSefraboxDlg::OnShellChangeNotify() return soon");
}

void CSefraboxDlg::AwaitSefraDrive()
{
    m_bAwaitingDrive = 1;
    SetTimer(m_hWnd, OPENING_BOUND, kDriveArrivalBoundMs, nullptr);
}

void CSefraboxDlg::EndOpening()
{
    m_bAwaitingDrive = 0;
    KillTimer(m_hWnd, OPENING_BOUND);
    EnableWindow(true);
    if (m_pOpenningDlg) {
        SB_TRACE("Before m_pOpenningDlg->EndDialog(0)");
        m_pOpenningDlg->EndDialog(0);
        SB_TRACE("After m_pOpenningDlg->EndDialog(0)");
    }
}

void CSefraboxDlg::OnOpeningBound()
{
    KillTimer(m_hWnd, OPENING_BOUND);
    if (!m_bAwaitingDrive)
        return;
    if (IsMountVolumeLockHeldHere()) {
        // Armed again: it runs once the holder on this thread lets go.
        SetTimer(m_hWnd, OPENING_BOUND, kLockPollHandlerMs, nullptr);
        return;
    }
    const std::string drive = m_szDrivePath.substr(0, 2);
    SB_TRACE("CSefraboxDlg::OnOpeningBound(%s): no arrival in %u ms", drive.c_str(), kDriveArrivalBoundMs);
    CMountVolumeLockHolder lock(kLockPollHandlerMs);
    SB_TRACE("CSefraboxDlg::OnOpeningBound() gained g_MountVolumeLock");
    // The recorded drive is still this opening's, unless some other road
    // released it meanwhile.
    const bool recorded = !drive.empty() && IsDriveLetter(g_szDriveLetter[0]) &&
                          std::toupper(static_cast<unsigned char>(g_szDriveLetter[0])) ==
                              std::toupper(static_cast<unsigned char>(drive[0]));
    const DWORD code = recorded ? CheckDriveLink(drive.c_str()) : ERROR_PATH_NOT_FOUND;
    if (code == 0) {
        SB_TRACE("CSefraboxDlg::OnOpeningBound(): the drive stands");
        EndOpening();
        CreateNewShellWindow();
        return;
    }
    SB_TRACE_FAILED(code, "CheckDriveLink(%s)", drive.c_str());
    if (recorded)
        ReleaseSefraDrive();
    m_szDrivePath.clear();
    EndOpening();
    lock.Release();
    MessageBoxText(m_hWnd, FormatResString(IDS_OPEN_FAILED_FMT, m_szSefraName.c_str(), GetErrorText(code).c_str()),
                   MB_OK | MB_ICONHAND);
    SB_TRACE("CSefraboxDlg::OnOpeningBound() soon return");
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
