// visit_state.h - the shell's part of a visit's state: the Explorer window
// and its events (ShellWindow), a launch that waits for its window
// (PendingLaunch), and what the other areas use of it (ShellShared). All
// are bases of SefraVisitState (ui/sefrabox_dlg.h).
#pragma once

#include "win/com_ptr.h"
#include "win/handles.h"
#include "win/shell_owners.h"

#include <exdisp.h>

#include <vector>

// Written and read by shell/ only.
struct ShellWindow {
    // The shell's window collection and its event connection, while a
    // window is looked for.
    CComPtr<IShellWindows> m_pShellWindows;
    DWORD m_dwShellWindowsCookie = 0;
    // The windows shown before the launch: a new window is none of them.
    std::vector<CComPtr<IDispatch>> m_lstOldWindows;
    // The shown Explorer window's browser and its event connection.
    CComPtr<IWebBrowser2> m_pWebBrowser2;
    DWORD m_dwBrowserCookie = 0;
    int m_bOwnShellWindow = 0; // 1 when this dialog launched the shown window
    CItemIdList m_pidlSelect;  // selected in the window once its document is complete
};

// A launch that waits for its window (launch_watch.cpp): set by
// CreateNewShellWindow, cleared once a window is adopted or the launch is
// given up. Written and read by shell/ only.
struct PendingLaunch {
    bool m_bLaunchPending = false;
    DWORD m_dwLaunchTick = 0;     // GetTickCount() at the launch
    bool m_bLaunchFailed = false; // every attempt of the launch failed
    // The started program, kept only where it shows the window itself
    // (LaunchedExplorerShowsItsWindow).
    CKernelHandle m_hLaunchedProgram;
};

// Used by other areas too: each member says who writes and who reads it.
struct ShellShared {
    // The shown Explorer window. Written by NavigateToSpecifyPage; read by
    // shell/ and by StartExitWait (volume/), whose worker watches it.
    HWND m_hwndExplorer = nullptr;
    // Serial of the browser in m_pWebBrowser2, counted up by each connection
    // (AdviseBrowserEvents). Read by OnReleaseBrowser, and by StartExitWait
    // (volume/), whose worker names it when it asks for the browser's
    // release.
    LONG m_lBrowserSerial = 0;
    // 1 from the link of a sefra drive in Explorer mode until its arrival
    // (or the look at the drive when the arrival is not reported) has ended
    // the opening window; only then does the arrival launch a window. Set by
    // AwaitSefraDrive; cleared by EndOpening, and by ReleaseVisit (volume/).
    int m_bAwaitingDrive = 0;
    // DeferredWork bits waiting for the lock. Set by DeferWhileLockHeldHere,
    // run by OnRetryDeferredWork; OnDestroy (volume/) sets kDeferTeardown,
    // which FinishDeferredTeardown (volume/) runs.
    unsigned m_uDeferredWork = 0;
};
