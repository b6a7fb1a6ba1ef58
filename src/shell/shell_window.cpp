// shell_window.cpp - the Explorer window of an open sefra, how the dialog
// gets it: CreateNewShellWindow (snapshot of the shell's windows, launch,
// the wait for its window, fallback timer), AttachShellWindow (the topmost
// existing Explorer window that shows the drive), FindExplorerWindowByTitle
// and GetBrowserWindowClass.
#include "diagnostics/trace.h"
#include "shell/explorer_launch.h"
#include "win/shell_owners.h"
#include "ui/sefrabox_dlg.h"

#include <exdisp.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kLaunchAttempts = 10;
constexpr ULONG kLaunchMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
constexpr UINT kVerifyNewWindowsMs = 5000;

// The system's Explorer window classes, and "ExplorerWClass", the class of
// the platform file manager's windows under Wine (no Windows window has it).
const char *const kExplorerClasses[] = {"ExploreWClass", "CabinetWClass", "ExplorerWClass"};

bool IsExplorerClassExact(const std::string &cls)
{
    for (const char *name : kExplorerClasses)
        if (cls == name)
            return true;
    return false;
}

bool IsExplorerClassAnyCase(const char *cls)
{
    for (const char *name : kExplorerClasses)
        if (lstrcmpiA(cls, name) == 0)
            return true;
    return false;
}

} // namespace

std::string CSefraboxDlg::GetBrowserWindowClass(IWebBrowser2 *browser)
{
    SHANDLE_PTR handle = 0;
    if (!browser || FAILED(browser->get_HWND(&handle)))
        return std::string();
    char cls[261] = {};
    if (GetClassNameA(reinterpret_cast<HWND>(handle), cls, sizeof cls) <= 0)
        return std::string();
    return cls;
}

void CSefraboxDlg::CreateNewShellWindow()
{
    SB_TRACE("CreateNewShellWindow entry...");
    if (!UpdateData(true))
        return;
    if (m_pWebBrowser2) {
        SB_TRACE("NULL != m_pWebBrowser2");
        ReleaseBrowser(true);
    }
    // A launch still waiting ends: its snapshot, connection and program.
    EndLaunchWatch();

    // The snapshot and the connection come before the launch, so that the
    // new window's registration is seen and told apart from the old ones.
    const HRESULT hr =
        CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, m_pShellWindows.ReceiveVoid());
    if (SUCCEEDED(hr) && m_pShellWindows) {
        SB_TRACE("CoCreateInstance(CLSID_ShellWindows) success!");
        LONG count = 0;
        m_pShellWindows->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            CComPtr<IDispatch> item;
            if (SUCCEEDED(m_pShellWindows->Item(CVariant(i).Value(), item.Receive())) && item)
                m_lstOldWindows.push_back(std::move(item));
        }
        ConnectionAdvise(m_pShellWindows.Get(), DIID_DShellWindowsEvents, GetIDispatch(), &m_dwShellWindowsCookie);
    } else {
        m_pShellWindows.Release();
        SB_TRACE_LAST_ERROR("CoCreateInstance()");
    }

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = kLaunchMask;
    info.lpFile = "Explorer.exe";
    info.lpParameters = m_szDrivePath.c_str();
    info.nShow = SW_SHOWNORMAL;
    DWORD lastError = 0;
    bool launched = false;
    for (int attempt = 0; attempt < kLaunchAttempts && !launched; ++attempt) {
        info.hProcess = nullptr;
        launched = LaunchExplorer(&info) != FALSE;
        if (!launched)
            lastError = GetLastError();
    }
    // The program is kept only where its end means that no window comes.
    CKernelHandle process(info.hProcess);
    SB_TRACE("After ShellExecuteEx(Explorer.exe). %s", GetErrorText(lastError).c_str());
    m_bLaunchPending = true;
    m_dwLaunchTick = GetTickCount();
    m_bLaunchFailed = !launched;
    if (launched && LaunchedExplorerShowsItsWindow())
        m_hLaunchedProgram = std::move(process);
    SetTimer(m_hWnd, VERIFY_NEW_WINDOWS, kVerifyNewWindowsMs, nullptr);
    SetTimer(m_hWnd, WATCH_LAUNCH, kWatchLaunchMs, nullptr);
}

void CSefraboxDlg::AttachShellWindow()
{
    SB_TRACE("AttachShellWindow(%d)", 0);
    if (!UpdateData(true))
        return;
    if (m_pWebBrowser2) {
        if (m_bOwnShellWindow) {
            const CComPtr<IWebBrowser2> browser = m_pWebBrowser2;
            browser->Quit();
            m_bOwnShellWindow = 0;
        }
        UnadviseBrowserEvents();
    }

    CComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, windows.ReceiveVoid())) ||
        !windows)
        return;

    std::vector<HWND> handles;
    std::vector<CComPtr<IWebBrowser2>> browsers;
    LONG count = 0;
    windows->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        CComPtr<IDispatch> item;
        if (FAILED(windows->Item(CVariant(i).Value(), item.Receive())) || !item)
            continue;
        CComPtr<IWebBrowser2> browser;
        if (FAILED(item.QueryTo(IID_IWebBrowser2, browser)) || !browser)
            continue;
        // A window on another folder is the person's: it is not taken.
        if (!IsExplorerClassExact(GetBrowserWindowClass(browser.Get())) || !ShowsSefraDrive(browser.Get()))
            continue;
        SHANDLE_PTR handle = 0;
        browser->get_HWND(&handle);
        handles.push_back(reinterpret_cast<HWND>(handle));
        browsers.push_back(std::move(browser));
    }
    if (handles.empty())
        return;

    for (HWND hwnd = ::GetWindow(handles[0], GW_HWNDFIRST); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
        size_t k = 0;
        while (k < handles.size() && handles[k] != hwnd)
            ++k;
        if (k == handles.size())
            continue;
        m_pWebBrowser2 = browsers[k];
        AdviseBrowserEvents();
        NavigateToSpecifyPage();
        m_bOwnShellWindow = 0;
        break;
    }
}

HWND CSefraboxDlg::FindExplorerWindowByTitle()
{
    std::vector<HWND> explorers;
    for (HWND hwnd = ::GetWindow(m_hWnd, GW_HWNDFIRST); hwnd; hwnd = ::GetWindow(hwnd, GW_HWNDNEXT)) {
        char cls[512] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (IsExplorerClassAnyCase(cls))
            explorers.push_back(hwnd);
    }
    const std::string drive = m_szDrivePath.substr(0, 2);
    for (HWND hwnd : explorers) {
        char title[512] = {};
        ::GetWindowTextA(hwnd, title, sizeof title);
        SB_TRACE("Explorer Windows Name: %s", title);
        if (!drive.empty() && std::strstr(title, drive.c_str())) {
            SB_TRACE("Find it: %s", title);
            return hwnd;
        }
    }
    return nullptr;
}
