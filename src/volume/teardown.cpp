// teardown.cpp - the end of a visit: CSefraboxDlg::OnDestroy, the store
// unmount with the platform channel, the end of the Windows session and the
// store volume's lock probe.
#include "diagnostics/trace.h"
#include "module/mount_lock.h"
#include "module/shared_block.h"
#include "store/store_mount.h"
#include "suite/Dravel.h"
#include "ui/sefrabox_dlg.h"
#include "volume/release_drive.h"
#include "volume/volume_lock.h"

#include <cstring>

// Every step is safe to repeat: the session's end runs it before the window
// is destroyed, and WM_DESTROY runs it again.
void CSefraboxDlg::OnDestroy()
{
    SB_TRACE("CSefraboxDlg::OnDestroy()");
    ReleaseBrowser(true);
    // The shell's window collection must not keep this dialog, which lives
    // on its caller's stack, as its event sink; a launch waits no more.
    EndLaunchWatch();
    if (m_ulNotifyID != 0)
        SHChangeNotifyDeregister(m_ulNotifyID);
    // Ends the wait of a running Explorer watcher before the lock is awaited.
    m_bExiting = 1;
    CMountVolumeLockHolder lock(kLockPollHandlerMs);
    SB_TRACE("CSefraboxDlg::OpenSefra() gained g_MountVolumeLock");
    m_pOpenningDlg.reset();
    m_bAwaitingDrive = 0;
    ReleaseSefraDrive();
    m_szDrivePath.clear();
    m_hVolume.Reset();
    UnMountSefraVolume();
    lock.Release();
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

void CSefraboxDlg::ReleaseStoreAndChannel()
{
    UnmountStore();
    Dravel_Cleanup();
    m_hPlatformChannel.Reset();
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

BOOL CSefraboxDlg::LockVolume() { return LockOpenStoreVolume(m_hVolume.Get(), m_szVolumeName); }

BOOL CSefraboxDlg::UnLockVolume() { return UnlockOpenStoreVolume(m_hVolume.Get()); }
