// visit_state.h - the volume's part of a visit's state: the exit-wait
// workers (ExitWorkers), and what the other areas use of it: the store
// volume and the sefra drive (VolumeShared). Both are bases of
// SefraVisitState (ui/sefrabox_dlg.h).
#pragma once

#include "win/handles.h"

#include <string>
#include <vector>

// Written and read by volume/ only.
struct ExitWorkers {
    // One exit-wait worker per shown window. Added by StartExitWait; waited
    // for by JoinExitWaitThreads.
    std::vector<CKernelHandle> m_vecExitWaitThreads;
    // Set by OnDestroy to end the workers' waits; the workers read it on
    // their threads, through what StartExitWait hands them.
    volatile int m_bExiting = 0;
    // The folder of the sefra open in Explorer mode, with "\": where a
    // program may hold files of the visit (volume_lock.h). Written by
    // OpenInExplorerMode; read by StartExitWait for the workers' probe.
    std::string m_szSefraFolder;
};

// Used by other areas too: each member says who writes and who reads it.
struct VolumeShared {
    // The store volume: mounted by Initialize (store/), given back by
    // UnMountSefraVolume.
    // Its path, with "\". Written by Initialize (store/) and AutoChkdsk;
    // read by LoadSefraList (store/), OpenSefra, OpenInExplorerMode,
    // OpenInCopyMode, StartExitWait and LockVolume.
    std::string m_szVolumeName;
    // Its device name, with "\". Written by Initialize (store/); read by
    // OpenInExplorerMode and OpenInCopyMode.
    std::string m_szMountDeviceName;
    // The volume, open. Opened by Initialize (store/); closed by ReleaseVisit
    // and SendToSefra (sendto/); read by LockVolume, UnLockVolume and the
    // exit workers.
    CFileHandle m_hVolume;
    // Initialize (store/) prepared a visit on this object, whose store
    // mount, shared record and sefra drive it holds until
    // UnMountSefraVolume; a dialog shown bare never owns them. Read by
    // OnDestroy and ReleaseVisit.
    bool m_bOwnsVisit = false;

    // The sefra drive.
    // The open sefra's display name. Written by OpenSefra; read by
    // OpenInExplorerMode, RunCopyDialog, and the retitle timer and
    // OnOpeningBound (shell/).
    std::string m_szSefraName;
    // The drive's root ("X:\") while the sefra is open. Written by
    // OpenInExplorerMode and OpenInCopyMode; read by the Explorer window's
    // launch, adoption, navigation and retitling and by the drive's arrival
    // (shell/); cleared by ReleaseVisit, and by GiveUpLaunch, OnOpeningBound
    // and OnEnableControls (shell/).
    std::string m_szDrivePath;
};
