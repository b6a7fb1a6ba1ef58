// sefrabox_teardown.cpp - the end of a visit: CSefraboxDlg::OnDestroy, the
// store unmount, the end of the Windows session and the store volume's lock
// probe.
#include "diagnostics/trace.h"
#include "module/mount_lock.h"
#include "module/shared_block.h"
#include "ui/sefrabox_dlg.h"
#include "volume/open_files_probe.h"
#include "volume/release_drive.h"

#include <winioctl.h>

#include <cstring>

namespace {
constexpr int kLockAttempts = 10;
constexpr DWORD kLockRetryMs = 100;
} // namespace

// Every step is safe to repeat: the session's end runs it before the window
// is destroyed, and WM_DESTROY runs it again.
void CSefraboxDlg::OnDestroy()
{
    SB_TRACE("CSefraboxDlg::OnDestroy()");
    ReleaseBrowser(true);
    // The shell's window collection must not keep this dialog, which lives
    // on its caller's stack, as its event sink.
    DiscardWindowSnapshot();
    if (m_ulNotifyID != 0)
        SHChangeNotifyDeregister(m_ulNotifyID);
    // Ends the wait of a running Explorer watcher before the lock is awaited.
    m_bExiting = 1;
    AcquireMountVolumeLock(kLockPollHandlerMs);
    SB_TRACE("CSefraboxDlg::OpenSefra() gained g_MountVolumeLock");
    m_pOpenningDlg.reset();
    ReleaseSefraDrive();
    if (m_hVolume != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hVolume);
        m_hVolume = INVALID_HANDLE_VALUE;
    }
    UnMountSefraVolume();
    ReleaseMountVolumeLock();
    // An exit-wait thread uses this object; with m_bExiting set and no
    // volume handle it ends without asking anything.
    JoinExitWaitThreads();
    CDialog::OnDestroy();
    SB_TRACE("CSefraboxDlg::OnDestroy() soon return");
}

void CSefraboxDlg::UnMountSefraVolume()
{
    SB_TRACE("CSefraboxDlg::UnMountSefraVolume()");
    std::memset(g_szVolumeName, 0, sizeof g_szVolumeName);
    g_pSefraboxDlg = 0;
    ReleaseStoreAndChannel();
}

BOOL CSefraboxDlg::OnQueryEndSession()
{
    SB_TRACE("CSefraboxDlg::OnQueryEndSession()");
    if (!DefWindowProcA(m_hWnd, WM_QUERYENDSESSION, 0, 0))
        return FALSE;
    if (!DeferWhileLockHeldHere(kDeferSessionEnd, "CSefraboxDlg::OnQueryEndSession()"))
        OnDestroy();
    return TRUE;
}

namespace {

// A file system without volume locks answers the control code so; the
// probe of the open files then stands alone.
bool IsUnsupported(DWORD code) { return code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED; }

} // namespace

// The question is whether any program still has a file of the store volume
// open. The volume lock answers it where the system implements it; Wine
// grants every lock, so each attempt first looks for a file that cannot be
// opened exclusively.
BOOL CSefraboxDlg::LockVolume()
{
    if (m_hVolume == INVALID_HANDLE_VALUE)
        return TRUE;
    BOOL locked = FALSE;
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        if (!IsAnyFileHeldOpen(m_szVolumeName)) {
            DWORD returned = 0;
            locked = DeviceIoControl(m_hVolume, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr) ||
                     IsUnsupported(GetLastError());
        }
        if (locked)
            break;
        Sleep(kLockRetryMs);
    }
    return locked;
}

BOOL CSefraboxDlg::UnLockVolume()
{
    if (m_hVolume == INVALID_HANDLE_VALUE)
        return TRUE;
    DWORD returned = 0;
    return DeviceIoControl(m_hVolume, FSCTL_UNLOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr) ||
           IsUnsupported(GetLastError());
}
