// visit_state.h - the store's part of a visit's state: the profile
// (StoreState), and what the other areas use of it: the caller's result
// word, the platform service's channel and lists, the shown rows
// (StoreShared). Both are bases of SefraVisitState (ui/sefrabox_dlg.h).
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>
#include <vector>

// Written and read by store/ only.
struct StoreState {
    // The profile's path on the store volume. Written by Initialize; read by
    // LoadSefraList, SetPassword and ReadSefraPassword.
    std::string m_szSefrabox;
    // The profile record of each shown row. Written by LoadSefraList; read
    // by SetPassword and ReadSefraPassword.
    std::vector<DWORD> m_daRecord;
    // InitVPFInfo's result in Initialize: not 0 when the platform lists may
    // lack platforms that are installed. Read by LoadSefraList.
    DWORD m_dwPlatformListStatus = ERROR_SUCCESS;
};

// Used by other areas too: each member says who writes and who reads it.
struct StoreShared {
    // The caller's result word: sefras open in copy mode when there is one.
    // Written by Initialize; read by OnCancel (ui/), OpenSefra (volume/) and
    // OnShellChangeNotify (shell/).
    int *m_pnResult = nullptr;
    // The platform service's channel. Opened by Initialize; closed by
    // OnHotKey (ui/), UnMountSefraVolume and ReleaseStoreAndChannel
    // (volume/).
    CFileHandle m_hPlatformChannel;
    // 1 when the platform service does not run. Written by Initialize; read
    // by RunCopyDialog (volume/).
    BYTE m_bNoPlatformService = 0;
    // The store file. Written by Initialize; read by AutoChkdsk (volume/).
    std::string m_szSefraFile;
    // The platform lists, one entry per platform: kind, number, platform
    // file, name. Written by TakePlatformRows (for Initialize, and for
    // ReadPlatformLists in sendto/); m_daIndex and m_slPlatformName read by
    // LoadSefraList and CopyIntoSefra (sendto/), m_slSefraFile by
    // RunCopyDialog (volume/); m_daType by none.
    std::vector<DWORD> m_daType, m_daIndex;
    std::vector<std::string> m_slSefraFile, m_slPlatformName;
    // The shown rows' sefra names and Targets. Written by LoadSefraList;
    // read by OpenSefra (volume/).
    std::vector<std::string> m_slSefraName, m_slTarget;
};
