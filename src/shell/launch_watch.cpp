// launch_watch.cpp - the Explorer window that CreateNewShellWindow launched,
// awaited for as long as it may still come: the rule of what shows the
// sefra's drive, the adoption of the first new window that shows it, the
// dialog's periodic look, and the end of a launch that can show no window.
//
// A window registers with the shell before it shows its folder, and on a
// slow machine it may come a minute after the launch: a registration or a
// look that finds no window showing the drive writes nothing off. The wait
// ends when a window is shown, or when the launch can no longer give one:
// the launch failed, the started program that shows the window ended
// (LaunchedExplorerShowsItsWindow) and no window shows the drive, or
// kLaunchWaitMs passed. Then the drive is given back as when the window
// closes. A program that still shows a
// window the dialog did not take keeps the drive until it ends.
#include "diagnostics/trace.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "shell/explorer_launch.h"
#include "ui/sefrabox_dlg.h"
#include "volume/drive_link.h"
#include "volume/release_drive.h"

#include <exdisp.h>

#include <string>

namespace {

bool SameLetter(wchar_t a, char b) { return (a | 0x20) == (static_cast<wchar_t>(b) | 0x20); }

// "file:///X:/...", "file:///X:" or the old "file:///X|/" for drive X.
bool IsFileUrlOfDrive(const wchar_t *url, char letter)
{
    const wchar_t kScheme[] = L"file:///";
    const size_t n = sizeof kScheme / sizeof kScheme[0] - 1;
    if (!url || CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, url, static_cast<int>(n), kScheme,
                               static_cast<int>(n)) != CSTR_EQUAL)
        return false;
    const wchar_t *rest = url + n;
    if (!SameLetter(rest[0], letter) || (rest[1] != L':' && rest[1] != L'|'))
        return false;
    return rest[2] == L'\0' || rest[2] == L'/' || rest[2] == L'\\';
}

BOOL CALLBACK FindShownWindowOf(HWND hwnd, LPARAM l)
{
    auto *pid = reinterpret_cast<DWORD *>(l);
    DWORD owner = 0;
    if (!IsWindowVisible(hwnd) || !GetWindowThreadProcessId(hwnd, &owner) || owner != *pid)
        return TRUE;
    *pid = 0;
    return FALSE;
}

// Whether the program shows a top-level window.
bool ShowsAnyWindow(DWORD pid)
{
    if (pid == 0)
        return false;
    EnumWindows(FindShownWindowOf, reinterpret_cast<LPARAM>(&pid));
    return pid == 0;
}

std::wstring TextOf(HRESULT hr, const CBstr &text)
{
    return SUCCEEDED(hr) && text ? std::wstring(text.Get()) : std::wstring();
}

} // namespace

bool CSefraboxDlg::ShowsSefraDrive(IWebBrowser2 *browser) const
{
    if (!browser || m_szDrivePath.size() < 2 || !IsDriveLetter(m_szDrivePath[0]) || m_szDrivePath[1] != ':')
        return false;
    CBstr url;
    const std::wstring location = TextOf(browser->get_LocationURL(url.Receive()), url);
    if (!location.empty())
        return IsFileUrlOfDrive(location.c_str(), m_szDrivePath[0]);
    // No location: a window on a folder outside the file system, or a shell
    // that tells it only through the title, as the file manager titles a
    // drive ("Label (X:)"). Compared as UTF-16: the ANSI title's trail
    // bytes could pose as the letter.
    CBstr name;
    std::wstring title = TextOf(browser->get_LocationName(name.Receive()), name);
    SHANDLE_PTR handle = 0;
    if (title.empty() && SUCCEEDED(browser->get_HWND(&handle)) && handle) {
        wchar_t text[MAX_PATH] = {};
        GetWindowTextW(reinterpret_cast<HWND>(handle), text, MAX_PATH);
        title = text;
    }
    const wchar_t drive[] = {static_cast<wchar_t>(static_cast<unsigned char>(m_szDrivePath[0])), L':', L'\0'};
    return title.find(drive) != std::wstring::npos;
}

bool CSefraboxDlg::AdoptLaunchedWindow()
{
    if (::IsWindow(m_hwndExplorer)) {
        EndLaunchWatch();
        return true;
    }
    if (!m_pShellWindows)
        return false;
    LONG count = 0;
    m_pShellWindows->get_Count(&count);
    for (LONG i = 0; i < count && m_pShellWindows; ++i) {
        const CVariant index(i);
        CComPtr<IDispatch> item;
        if (FAILED(m_pShellWindows->Item(index.Value(), item.Receive())) || !item)
            continue;
        bool old = false;
        for (const CComPtr<IDispatch> &known : m_lstOldWindows)
            old = old || known.Get() == item.Get();
        CComPtr<IWebBrowser2> browser;
        if (old || FAILED(item.QueryTo(IID_IWebBrowser2, browser)) || !ShowsSefraDrive(browser.Get()))
            continue; // a new window not yet on the drive is looked at again
        SB_TRACE("CSefraboxDlg::AdoptLaunchedWindow()");
        UnadviseBrowserEvents();
        m_pWebBrowser2 = browser;
        m_bOwnShellWindow = 1;
        AdviseBrowserEvents();
        // Shown: the navigation ends the wait.
        NavigateToSpecifyPage();
        if (::IsWindow(m_hwndExplorer))
            return true;
        // A window that cannot be watched is not taken again.
        m_lstOldWindows.push_back(std::move(item));
    }
    return false;
}

void CSefraboxDlg::EndFailedLaunch()
{
    if (!m_bLaunchPending)
        return;
    const DWORD waited = GetTickCount() - m_dwLaunchTick;
    if (m_bLaunchFailed) {
        SB_TRACE("No Explorer window: ShellExecuteEx(Explorer.exe) failed");
    } else if (m_hLaunchedProgram && WaitForSingleObject(m_hLaunchedProgram.Get(), 0) == WAIT_OBJECT_0) {
        // A window of its own, if it showed one unseen, went with it. But a
        // folder that a window shows already is handed to that window: the
        // fallback's window is taken, when one shows the drive.
        AttachShellWindow();
        if (::IsWindow(m_hwndExplorer))
            return;
        SB_TRACE("No Explorer window: Explorer.exe ended %lu ms after the launch", waited);
    } else if (waited < kLaunchWaitMs) {
        return;
    } else if (m_hLaunchedProgram ? !ShowsAnyWindow(GetProcessId(m_hLaunchedProgram.Get())) : bool(m_pShellWindows)) {
        SB_TRACE("No Explorer window %lu ms after the launch", waited);
    } else {
        // A window of the program not taken (it shows another folder, or
        // there is no window list to see it in) goes with its program. On
        // Windows, without the list, a window may show the drive unseen: the
        // drive stays until the dialog ends.
        if (!m_hLaunchedProgram) {
            SB_TRACE("No window list to wait in for %lu ms: the drive stays", waited);
            EndLaunchWatch();
        }
        return;
    }
    GiveUpLaunch();
}

void CSefraboxDlg::GiveUpLaunch()
{
    EndLaunchWatch();
    SB_TRACE("CSefraboxDlg::GiveUpLaunch() releases %s", m_szDrivePath.c_str());
    ReleaseSefraDrive();
    m_szDrivePath.clear();
    EnableWindow(true);
    EnableSefraControls(TRUE);
}

void CSefraboxDlg::EndLaunchWatch()
{
    m_bLaunchPending = false;
    KillTimer(m_hWnd, WATCH_LAUNCH);
    KillTimer(m_hWnd, VERIFY_NEW_WINDOWS);
    DiscardWindowSnapshot();
    m_hLaunchedProgram.Reset();
}

// A look of the timer takes the lock only when it is free at once: the
// dialog's thread never waits here, and a look left out comes again.
void CSefraboxDlg::OnWatchLaunch()
{
    if (!m_bLaunchPending) {
        KillTimer(m_hWnd, WATCH_LAUNCH);
        return;
    }
    const CMountVolumeLockHolder lock = CMountVolumeLockHolder::TryAcquire();
    if (!lock.Held())
        return;
    if (!AdoptLaunchedWindow())
        EndFailedLaunch();
}
