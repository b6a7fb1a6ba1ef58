// teardown.cpp - the end of a visit: CSefraboxDlg::OnDestroy, the store
// unmount with the platform channel, the end of the Windows session and the
// store volume's lock probe.
#include "diagnostics/trace.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
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
    if (m_bOwnsVisit && IsMountVolumeLockHeldHere()) {
        // The window went inside a message box or the copy dialog of a lock
        // holder on this thread (its caller destroyed the owner it passed,
        // say): waiting here would never end. The rest runs once the modal
        // run is over (FinishDeferredTeardown).
        m_uDeferredWork |= kDeferTeardown;
        SB_TRACE("CSefraboxDlg::OnDestroy() waits: this thread holds g_MountVolumeLock");
    } else {
        ReleaseVisit();
    }
    CDialog::OnDestroy();
    SB_TRACE("CSefraboxDlg::OnDestroy() soon return");
}

void CSefraboxDlg::ReleaseVisit()
{
    if (m_bOwnsVisit) {
        CMountVolumeLockHolder lock(kLockPollHandlerMs);
        SB_TRACE("CSefraboxDlg::OpenSefra() gained g_MountVolumeLock");
        m_pOpenningDlg.reset();
        m_bAwaitingDrive = 0;
        ReleaseSefraDrive();
        m_szDrivePath.clear();
        m_hVolume.Reset();
        UnMountSefraVolume();
    } else {
        // A dialog shown bare (or one whose visit is over) holds no drive,
        // store or record: those in the shared block belong to another
        // caller's visit, which may be open beside it.
        m_pOpenningDlg.reset();
        m_bAwaitingDrive = 0;
        m_szDrivePath.clear();
        m_hVolume.Reset();
    }
    // An exit-wait thread uses this object; with m_bExiting set and no
    // volume handle it ends without asking anything.
    JoinExitWaitThreads();
}

void CSefraboxDlg::FinishDeferredTeardown()
{
    if (!(m_uDeferredWork & kDeferTeardown) || IsMountVolumeLockHeldHere())
        return;
    m_uDeferredWork &= ~static_cast<unsigned>(kDeferTeardown);
    SB_TRACE("CSefraboxDlg::OnDestroy() goes on");
    ReleaseVisit();
}

void CSefraboxDlg::UnMountSefraVolume()
{
    SB_TRACE("CSefraboxDlg::UnMountSefraVolume()");
    if (m_bOwnsVisit) {
        std::memset(g_szVolumeName, 0, sizeof g_szVolumeName);
        g_pSefraboxDlg = 0;
        UnmountStore();
        m_bOwnsVisit = false;
    }
    Dravel_Cleanup();
    m_hPlatformChannel.Reset();
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
