// sefrabox_dlg.h - CSefraboxDlg, the library's main dialog (template 2000)
// and the home of all state of one sefra visit.
//
// One object exists per show call, on the stack of the entry that shows it;
// SendToSefra uses one without showing it. Its dispatch interface receives
// the events of the shell's window collection and of the shown Explorer
// window: the system's dispatch ids (exdispid.h) DISPID_WINDOWREGISTERED,
// DISPID_ONQUIT, DISPID_DOCUMENTCOMPLETE and DISPID_WINDOWCLOSING.
//
// The methods are declared in groups, one for each file that defines them,
// and a method lives in the folder of the area it serves:
//   ui/      the window, its commands and look
//   store/   the profile and passwords, and Initialize, which prepares them
//   volume/  mount, unmount, exit wait and session end
//   shell/   the Explorer window, its events and timers
//   sendto/  the copy of a Send To request
// The state of a visit is SefraVisitState, the dialog's private base,
// built from records declared beside their areas (see below).
#pragma once

#include "res/resource.h"
#include "shell/visit_state.h"
#include "store/visit_state.h"
#include "ui/visit_state.h"
#include "volume/visit_state.h"
#include "win/dialog.h"
#include "win/dispatch.h"
#include "win/shell_owners.h"

#include <exdisp.h>
#include <exdispid.h>
#include <shlobj.h>

#include <string>
#include <vector>

struct PlatformRows;

// Private messages of the dialog.
constexpr UINT WM_REOPEN_EXPLORER = 0xB05;
constexpr UINT WM_ENABLE_CONTROLS = 0xB07;
constexpr UINT WM_SHELL_CHANGE = 0xB11;
// The exit-wait thread's request to let go of the browser it watched
// (wParam: that browser's serial); the browser belongs to the dialog's thread.
constexpr UINT WM_RELEASE_BROWSER = WM_APP + 0xB09;
// The second half of the sefra drive's arrival, posted by OnShellChangeNotify.
constexpr UINT WM_SEFRA_DRIVE_ARRIVED = WM_APP + 0xB11;

// Timers of the dialog.
constexpr UINT_PTR ACTIVATE_DIALOG = 0x20060420;
constexpr UINT_PTR RETITLE_EXPLORER = 0x20060515;
constexpr UINT_PTR VERIFY_NEW_WINDOWS = 0x20060711;
// Retries the work that found g_MountVolumeLock held by the dialog's own
// thread (see DeferWhileLockHeldHere).
constexpr UINT_PTR RETRY_DEFERRED_WORK = 0x53420001;
// The bound of the opening window's wait for the sefra drive's arrival (see
// AwaitSefraDrive).
constexpr UINT_PTR OPENING_BOUND = 0x53421171;
// Looks again for the launched window while a launch waits for it: a window
// may register before it shows its folder.
constexpr UINT_PTR WATCH_LAUNCH = 0x53420002;
constexpr UINT kWatchLaunchMs = 100;

// How long a launched Explorer window is waited for. Far beyond the slowest
// window seen (18 s for a sefra of 30,000 files on a busy machine that
// emulates 32-bit code), so that a slow window is still adopted; a launch
// that shows no window by then gives the sefra's drive back instead of
// leaving the safe open, unseen, until the dialog ends.
constexpr DWORD kLaunchWaitMs = 180000;

// Hot key Ctrl+Alt+Shift+L that ends the dialog.
constexpr int kHotKeyId = 0x1000;
constexpr UINT kHotKeyModifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT;
constexpr UINT kHotKeyVirtualKey = 0x4C;

// Passwords are at most 8 bytes.
constexpr size_t kMaxPasswordBytes = 8;

// The controls of a platform row, from its platform button (IDC_PLATFORM1
// to IDC_PLATFORM3): the password edit, the arrow that opens the sefra and
// the set-password button; and back from the set-password button.
constexpr int PasswordEditOf(int platformButton) { return platformButton - IDC_PLATFORM1 + IDC_PWD1; }
constexpr int EnterButtonOf(int platformButton) { return platformButton - IDC_PLATFORM1 + IDC_ENTER1; }
constexpr int SetPasswordButtonOf(int platformButton) { return platformButton - IDC_PLATFORM1 + IDC_SETPWD1; }
constexpr int PlatformButtonOfSetPassword(int setPasswordButton)
{
    return setPasswordButton - IDC_SETPWD1 + IDC_PLATFORM1;
}
static_assert(PasswordEditOf(IDC_PLATFORM3) == IDC_PWD3 && EnterButtonOf(IDC_PLATFORM3) == IDC_ENTER3 &&
                  SetPasswordButtonOf(IDC_PLATFORM3) == IDC_SETPWD3,
              "the rows' controls follow their platform buttons");

// The state of one sefra visit, built from records declared beside the
// areas that own them (each folder's visit_state.h). A record of a name
// ending in "Shared" holds what other areas use too, each member with who
// writes and who reads it; every other record is written and read by its
// own folder alone. The records are bases, so that the dialog's methods
// name the members directly; the dialog inherits the whole privately, so
// that nothing outside the dialog reaches them.
struct SefraVisitState : DialogControls,
                         DialogShared,
                         StoreState,
                         StoreShared,
                         ExitWorkers,
                         VolumeShared,
                         ShellWindow,
                         PendingLaunch,
                         ShellShared {};

class CSefraboxDlg : public CDialog, public CDispatchSink, private SefraVisitState {
    // ---- ui/sefrabox_dlg.cpp: construction, data exchange, message routing
public:
    // parent: the desktop window, the caller's window or null.
    explicit CSefraboxDlg(HWND parent);
    ~CSefraboxDlg() override;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange &dx) override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD code, HWND ctl) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT &result) override;

    // ---- ui/sefrabox_controls.cpp: platform rows, Cancel, painting, hot key,
    // the opening window
public:
    void ShowPlatformRow(int platformButton, int show);
    void EnableSefraControls(BOOL enable);
    void ShowOpeningDialog();
    // Whether the hot key ended the dialog.
    bool ClosedByHotKey() const { return m_bClosedByHotKey != 0; }

protected:
    void OnCancel() override;
    void OnPlatformButton(int platformButton);
    void OnClickBackground();
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND ctl, UINT kind, LRESULT baseResult);
    void OnHotKey(int id);

    // ---- store/initialize.cpp: the preparation of a visit
public:
    // Prepares a visit: platform lists, disk check, store mount, volume and
    // profile path. TRUE when the dialog is ready to be shown.
    BOOL Initialize(const char *lpSefraName, int *pnResult, BOOL bSkipChkdsk);

private:
    // Initialize's failure path: trace, unmount, clean up, close the channel.
    BOOL FailInitialize(DWORD code);
    // The platform lists become those of rows.
    void TakePlatformRows(PlatformRows &&rows);

    // ---- store/sefra_list.cpp: the platform buttons from the profile
public:
    void LoadSefraList();

    // ---- store/set_password.cpp: the selected sefra's password
public:
    // Writes the selected sefra's password (at most 8 bytes; empty clears
    // it). FALSE when no platform is selected or the write failed.
    BOOL SetPassword(const char *lpPassword);
    // The selected sefra's stored password into lpBuffer (cut to cbBuffer);
    // its length, 0 and lpBuffer untouched when no platform is selected, -1
    // and lpBuffer untouched (traced) when the record cannot be read.
    int ReadSefraPassword(char *lpBuffer, size_t cbBuffer);

protected:
    void OnSetPasswordButton(int setPasswordButton);

    // ---- volume/auto_chkdsk.cpp: the disk check of a dirty store volume
public:
    // Checks a store volume marked dirty before it is used; 0 or an error.
    DWORD AutoChkdsk(const char *lpSefraFile);
    // Deletes the entries of lpFolder whose names begin with lpPrefix
    // (case-sensitive); everything when lpPrefix is null. Entries named as
    // one of spared (IsSameFolderName) stay.
    void DeletePrefixedEntries(const char *lpFolder, const char *lpPrefix, const std::vector<std::string> &spared = {});

    // ---- volume/open_sefra.cpp: the password check and the sefra's drive
public:
    void OpenSefra();
    // OpenSefra's Explorer mode and its opening dialog.
    void OpenInExplorerMode(const char *driveText, const std::string &target);

    // ---- volume/open_copy_mode.cpp: the copy mode
public:
    // Copy mode: a temporary drive for the sefra, the platform's disk and the
    // copy dialog between them; everything is given back before it returns.
    void OpenInCopyMode(const char *driveText, const std::string &target, size_t index);
    // The copy dialog for the linked sefra drive; the platform disk it mounts
    // is unmounted again before it returns.
    void RunCopyDialog(const char *driveText, size_t index);

    // ---- volume/exit_wait.cpp: the workers that close the sefra with its
    // Explorer window
public:
    // Starts WaitExplorerExit for the browser being shown; false when the
    // thread could not be started.
    bool StartExitWait();
    // Waits for every exit-wait thread to end (they need nothing of this
    // thread once m_bExiting is set and the lock is free).
    void JoinExitWaitThreads();

private:
    // What a worker is handed; it reads nothing else of the dialog.
    struct ExitWaitStart;
    static DWORD WINAPI WaitExplorerExit(LPVOID param);

    // ---- volume/teardown.cpp: the end of a visit and of the session
public:
    // Unmounts the store Initialize mounted and clears g_szVolumeName and
    // g_pSefraboxDlg when this dialog owns the visit; closes the platform
    // channel. Safe to repeat.
    void UnMountSefraVolume();
    // Runs the part of OnDestroy that waited because this thread held
    // g_MountVolumeLock when the window was destroyed; nothing when none
    // waits. The show entries call it once the modal run is over.
    void FinishDeferredTeardown();
    // Whether the store volume has no other user (10 tries, 100 ms apart);
    // TRUE without trying when no volume is open.
    BOOL LockVolume();
    BOOL UnLockVolume();

protected:
    void OnDestroy() override;
    BOOL OnQueryEndSession();

private:
    // Gives back the store mount (255 with g_dwMountHandle), cleans up the
    // disk library and closes the platform channel.
    void ReleaseStoreAndChannel();
    // OnDestroy's part under the lock: the opening dialog, the sefra drive,
    // the volume and the store, then the exit-wait threads. Only a dialog
    // that owns a visit takes the lock and releases them.
    void ReleaseVisit();

    // ---- shell/shell_window.cpp: how the dialog gets its Explorer window
public:
    void CreateNewShellWindow();
    void AttachShellWindow();
    HWND FindExplorerWindowByTitle();
    static std::string GetBrowserWindowClass(IWebBrowser2 *browser);

    // ---- shell/browser_events.cpp: the events of the shell's windows and
    // of the shown browser
public:
    void AdviseBrowserEvents();
    void UnadviseBrowserEvents();
    void DiscardWindowSnapshot();
    void WindowRegistered(long cookie);
    void OnQuit();
    void DocumentComplete(IDispatch *disp, VARIANT *url);
    void WindowClosing(VARIANT_BOOL isChildWindow, VARIANT_BOOL *cancel);
    // The dialog itself as event sink (not reference counted).
    IDispatch *GetIDispatch() { return static_cast<IDispatch *>(this); }

protected:
    bool IsEventInterface(REFIID iid) const override;
    bool OnInvoke(DISPID id, DISPPARAMS *params) override;
    void OnReleaseBrowser(LONG serial);

private:
    // Lets go of m_pWebBrowser2: Quit first when quitOwn and the window is
    // ours, then disconnect and release.
    void ReleaseBrowser(bool quitOwn);

    // ---- shell/launch_watch.cpp: the launched window, awaited until it shows
    // the drive or the launch is given up
public:
    // Whether browser's window shows the sefra's drive: a known location is
    // the drive's (a file URL of it); an unknown one (empty or not
    // answered), a title that names the drive (X:).
    bool ShowsSefraDrive(IWebBrowser2 *browser) const;
    // Under the lock: adopts the first window outside the snapshot that
    // shows the drive; true when a window is shown now.
    bool AdoptLaunchedWindow();
    // Under the lock: a launch that can no longer show a window (it failed,
    // its program ended, or kLaunchWaitMs passed) gives the drive back.
    void EndFailedLaunch();
    // The wait ends: its timers, the snapshot and its event connection, the
    // program's handle.
    void EndLaunchWatch();

protected:
    void OnWatchLaunch();

private:
    void GiveUpLaunch();

    // ---- shell/navigate.cpp: the adopted window browsed to the drive
public:
    void NavigateToSpecifyPage();
    static CItemIdList PidlFromPath(HWND owner, const char *path);

    // ---- shell/shell_notify.cpp: the drive's arrival, the reopen request,
    // work deferred while this thread holds the lock
public:
    static std::string GetPathFromIDList(LPCITEMIDLIST pidl);

    // Called once the opening window shows over a newly linked sefra drive:
    // the drive's arrival is awaited for a bounded time (OPENING_BOUND).
    void AwaitSefraDrive();

protected:
    void OnShellChangeNotify(WPARAM w, LPARAM l);
    void OnSefraDriveArrived();
    void OnReopenExplorer();
    // WM_ENABLE_CONTROLS: the controls, and the end of the closed sefra's
    // drive path.
    void OnEnableControls(BOOL enable);
    // The arrival was not reported within the bound: the drive itself is
    // looked at. Standing, the window is launched as on its arrival; else
    // the drive and its label are released, the main dialog comes back and
    // the person is told (string 3352).
    void OnOpeningBound();

private:
    // Under the lock: the wait ends, the opening window goes, the main
    // dialog is enabled.
    void EndOpening();

protected:
    // Work of the dialog's lock-taking handlers that can wait for later.
    enum DeferredWork : unsigned {
        kDeferWindowRegistered = 1,
        kDeferDriveArrived = 2,
        kDeferSessionEnd = 4,
        kDeferTeardown = 8, // OnDestroy's locked part; the window is gone
    };
    // A message box of a lock holder on this thread (OpenSefra's, the copy
    // dialog) runs the thread's message loop, and a handler reached from it
    // would wait for the lock for ever. When this thread holds the lock: notes
    // the work, traces it, arms RETRY_DEFERRED_WORK and returns true; the work
    // runs once the lock is free. False otherwise: the caller goes on.
    bool DeferWhileLockHeldHere(unsigned work, const char *what);
    void OnRetryDeferredWork();

    // ---- shell/timers.cpp: the timers, and the input redirect while the
    // Explorer window is shown
public:
    bool PreTranslateMessage(MSG *msg) override;

protected:
    void OnTimer(UINT_PTR id) override;

    // ---- sendto/send_to_sefra.cpp: the copy of a Send To request
public:
    // Send To: copies the double-NUL list lpSrcPath into the sefra whose
    // profile id is the decimal number lpSefraName. 87 for an unreadable
    // argument, otherwise 0; failures are shown to the user or traced.
    // Callers hold g_MountVolumeLock.
    int SendToSefra(const char *lpSefraName, const char *lpSrcPath);

private:
    // SendToSefra's platform lists of a store another process mounted, and
    // its copy from the record search to the unlinked drive.
    bool ReadPlatformLists();
    void CopyIntoSefra(const char *lpSefraName, const char *lpSrcPath);

    // ---- the state of a visit (SefraVisitState), read from outside only by
    // the tests
public:
    SefraVisitState &StateForTests() { return *this; }
};
