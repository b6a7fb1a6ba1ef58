// shell_notify.cpp - the dialog's handlers that move the Explorer window
// from outside the browser events: the shell change notification, the three
// timers, the reopen request and the input redirect while a window is shown.
#include "diagnostics/trace.h"
#include "module/mount_lock.h"
#include "ui/sefrabox_dlg.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr LONG kDriveAdd = SHCNE_DRIVEADD;                   // 0x100
constexpr UINT kTopNoMoveNoSize = SWP_NOSIZE | SWP_NOMOVE;   // 3
constexpr DWORD kFlashFlags = FLASHW_ALL | FLASHW_TIMERNOFG; // 15
constexpr UINT kFlashCount = 20;
constexpr DWORD kFlashIntervalMs = 1000;

void TraceIfFailed(BOOL ok, const char *call)
{
    if (!ok)
        SB_TRACE("%s failed! %s", call, GetErrorText(GetLastError()).c_str());
}

void RedirectInputToExplorer(HWND explorer)
{
    SetForegroundWindow(explorer);
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = explorer;
    flash.dwFlags = kFlashFlags;
    flash.uCount = kFlashCount;
    flash.dwTimeout = kFlashIntervalMs;
    FlashWindowEx(&flash);
}

} // namespace

std::string CSefraboxDlg::GetPathFromIDList(LPCITEMIDLIST pidl)
{
    char path[MAX_PATH] = {};
    if (!pidl || !SHGetPathFromIDListA(pidl, path))
        return std::string();
    path[MAX_PATH - 1] = '\0';
    return path;
}

void CSefraboxDlg::OnShellChangeNotify(WPARAM w, LPARAM l)
{
    const auto *items = reinterpret_cast<const LPCITEMIDLIST *>(w);
    const LPCITEMIDLIST first = items ? items[0] : nullptr;
    const LPCITEMIDLIST second = items ? items[1] : nullptr;
    const std::string path1 = GetPathFromIDList(first), path2 = GetPathFromIDList(second);
    SB_TRACE("OnShellChangNotify(0x%08X, 0x%08X, 0x%08X)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(first)),
             static_cast<unsigned>(reinterpret_cast<UINT_PTR>(second)), static_cast<unsigned>(l));
    SB_TRACE("OnShellChangNotify(%s, %s)", path1.c_str(), path2.c_str());
    if (m_pnResult || l != kDriveAdd || path1 != m_szDrivePath) {
        SB_TRACE("CSefraboxDlg::OnShellChangeNotify() return soon");
        return;
    }
    // Wine delivers the notification from inside SHChangeNotify, which the
    // drive's link makes while it holds g_MountVolumeLock on this thread:
    // taking the lock here would wait for ever. The rest runs from the loop.
    PostMessage(WM_SEFRA_DRIVE_ARRIVED);
}

void CSefraboxDlg::OnSefraDriveArrived()
{
    AcquireMountVolumeLock(kLockPollHandlerMs);
    SB_TRACE("CSefraboxDlg::OnShellChangeNotify() gained g_MountVolumeLock");
    if (::IsWindow(m_hwndExplorer)) {
        SB_TRACE("IsWindow(m_hwndExplorer)");
        ReleaseMountVolumeLock();
        return;
    }
    EnableWindow(true);
    if (m_pOpenningDlg) {
        SB_TRACE("Before m_pOpenningDlg->EndDialog(0)");
        m_pOpenningDlg->EndDialog(0);
        SB_TRACE("After m_pOpenningDlg->EndDialog(0)");
    }
    CreateNewShellWindow();
    ReleaseMountVolumeLock();
    SB_TRACE("CSefraboxDlg::OnShellChangeNotify() return soon");
}

void CSefraboxDlg::OnReopenExplorer() { CreateNewShellWindow(); }

void CSefraboxDlg::OnTimer(UINT_PTR id)
{
    if (id == ACTIVATE_DIALOG) {
        KillTimer(m_hWnd, ACTIVATE_DIALOG);
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        BringWindowToTop(m_hWnd);
        TraceIfFailed(SetForegroundWindow(m_hWnd), "SetForegroundWindow()");
        TraceIfFailed(AllowSetForegroundWindow(GetCurrentProcessId()), "AllowSetForegroundWindow()");
        TraceIfFailed(LockSetForegroundWindow(LSFW_UNLOCK), "LockSetForegroundWindow()");
        const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
        AttachThreadInput(foregroundThread, GetCurrentThreadId(), TRUE);
        SetForegroundWindow(m_hWnd);
        ::SetFocus(m_hWnd);
        AttachThreadInput(foregroundThread, GetCurrentThreadId(), FALSE);
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, kTopNoMoveNoSize);
        CenterWindow(::GetDesktopWindow());
    } else if (id == RETITLE_EXPLORER) {
        KillTimer(m_hWnd, RETITLE_EXPLORER);
        try {
            const std::string drive = m_szDrivePath.substr(0, 2);
            char title[MAX_PATH] = {};
            std::snprintf(title, sizeof title, "%s (%s)", m_szSefraName.c_str(), drive.c_str());
            if (::IsWindow(m_hwndExplorer)) {
                char old[MAX_PATH] = {};
                ::GetWindowTextA(m_hwndExplorer, old, sizeof old);
                SB_TRACE("szOldText:%s", old);
                if (!drive.empty() && std::strstr(old, drive.c_str()))
                    ::SetWindowTextA(m_hwndExplorer, title);
                SB_TRACE("IsWindow(m_hwndExplorer) and %s", title);
            }
        } catch (...) {
            SB_TRACE("Exceptional occur");
        }
    } else if (id == VERIFY_NEW_WINDOWS) {
        SB_TRACE("VERIFY_NEW_WINDOWS in OnTimer");
        KillTimer(m_hWnd, VERIFY_NEW_WINDOWS);
        AcquireMountVolumeLock(kLockPollHandlerMs);
        SB_TRACE("VERIFY_NEW_WINDOWS gained g_MountVolumeLock");
        if (!::IsWindow(m_hwndExplorer)) {
            SB_TRACE("!IsWindow(m_hwndExplorer)");
            DiscardWindowSnapshot();
            AttachShellWindow();
        }
        ReleaseMountVolumeLock();
    }
    CDialog::OnTimer(id);
}

bool CSefraboxDlg::PreTranslateMessage(MSG *msg)
{
    if (!::IsWindow(m_hwndExplorer))
        return CDialog::PreTranslateMessage(msg);
    const UINT m = msg->message;
    const bool keyboard = m >= WM_KEYDOWN && m <= 0x108;
    const bool button = m >= WM_LBUTTONDOWN && m <= 0x209;
    if (m == WM_MOUSEMOVE || !(keyboard || button || m > 0xC000))
        return CDialog::PreTranslateMessage(msg);
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK)
        ::SendMessageA(m_hwndExplorer, WM_SYSCOMMAND, SC_RESTORE, 0);
    // The dialog's own keyboard navigation is skipped: Escape and Enter do
    // not end it while the window is shown.
    RedirectInputToExplorer(m_hwndExplorer);
    return false;
}
