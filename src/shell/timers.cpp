// timers.cpp - the dialog's timers (bringing the dialog to the front,
// naming the Explorer window after the sefra, the fallback when no new
// window was recognised, the look for a launched window, the retry of
// deferred work) and, while the Explorer window is shown, the redirect of
// the dialog's input to it.
#include "diagnostics/trace.h"
#include "machine/mount_lock.h"
#include "ui/sefrabox_dlg.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr UINT kTopNoMoveNoSize = SWP_NOSIZE | SWP_NOMOVE;
constexpr DWORD kFlashFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
constexpr UINT kFlashCount = 20;
constexpr DWORD kFlashIntervalMs = 1000;
// The Explorer window belongs to another program: a send to it waits at
// most this long, and not at all for a program that hangs.
constexpr UINT kExplorerSendMs = 1000;
constexpr UINT kRetitleRetryMs = 1000;

// The input handed to the Explorer window while it is shown: the keyboard
// messages up to where WM_KEYLAST stood before WM_UNICHAR (0x109) joined
// them, the mouse buttons without the wheel, and the messages numbered
// above the first one RegisterWindowMessage may give (0xC000).
constexpr UINT kKeyboardFirst = WM_KEYDOWN;
constexpr UINT kKeyboardLast = 0x108;
constexpr UINT kMouseButtonFirst = WM_LBUTTONDOWN;
constexpr UINT kMouseButtonLast = WM_MBUTTONDBLCLK;
constexpr UINT kRegisteredMessageFirst = 0xC000;

bool IsRedirectedInput(UINT m)
{
    return (m >= kKeyboardFirst && m <= kKeyboardLast) || (m >= kMouseButtonFirst && m <= kMouseButtonLast) ||
           m > kRegisteredMessageFirst;
}

// False when the window did not answer within the bound.
bool SendToExplorer(HWND explorer, UINT msg, WPARAM w, LPARAM l)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(explorer, msg, w, l, SMTO_ABORTIFHUNG, kExplorerSendMs, &result) != 0;
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

void CSefraboxDlg::OnTimer(UINT_PTR id)
{
    if (id == OPENING_BOUND) {
        OnOpeningBound();
    } else if (id == ACTIVATE_DIALOG) {
        KillTimer(m_hWnd, ACTIVATE_DIALOG);
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
        BringWindowToTop(m_hWnd);
        if (!SetForegroundWindow(m_hWnd))
            SB_TRACE_LAST_ERROR("SetForegroundWindow()");
        if (!AllowSetForegroundWindow(GetCurrentProcessId()))
            SB_TRACE_LAST_ERROR("AllowSetForegroundWindow()");
        if (!LockSetForegroundWindow(LSFW_UNLOCK))
            SB_TRACE_LAST_ERROR("LockSetForegroundWindow()");
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
                if (!drive.empty() && std::strstr(old, drive.c_str()) &&
                    !SendToExplorer(m_hwndExplorer, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title))) {
                    // Busy or hung: named on a later try, while it lives.
                    SB_TRACE("WM_SETTEXT timed out");
                    SetTimer(m_hWnd, RETITLE_EXPLORER, kRetitleRetryMs, nullptr);
                }
                SB_TRACE("IsWindow(m_hwndExplorer) and %s", title);
            }
        } catch (...) {
            SB_TRACE("Exceptional occur");
        }
    } else if (id == RETRY_DEFERRED_WORK) {
        OnRetryDeferredWork();
    } else if (id == VERIFY_NEW_WINDOWS) {
        SB_TRACE("VERIFY_NEW_WINDOWS in OnTimer");
        KillTimer(m_hWnd, VERIFY_NEW_WINDOWS);
        if (IsMountVolumeLockHeldHere()) {
            // Armed again: it runs once the holder on this thread lets go.
            SB_TRACE("VERIFY_NEW_WINDOWS waits: this thread holds g_MountVolumeLock");
            SetTimer(m_hWnd, VERIFY_NEW_WINDOWS, kLockPollHandlerMs, nullptr);
            CDialog::OnTimer(id);
            return;
        }
        const CMountVolumeLockHolder lock(kLockPollHandlerMs);
        SB_TRACE("VERIFY_NEW_WINDOWS gained g_MountVolumeLock");
        // The launched window may still come: the wait goes on beside.
        if (!::IsWindow(m_hwndExplorer)) {
            SB_TRACE("!IsWindow(m_hwndExplorer)");
            AttachShellWindow();
        }
    } else if (id == WATCH_LAUNCH) {
        OnWatchLaunch();
    }
    CDialog::OnTimer(id);
}

bool CSefraboxDlg::PreTranslateMessage(MSG *msg)
{
    if (!::IsWindow(m_hwndExplorer))
        return CDialog::PreTranslateMessage(msg);
    const UINT m = msg->message;
    if (!IsRedirectedInput(m))
        return CDialog::PreTranslateMessage(msg);
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK)
        SendToExplorer(m_hwndExplorer, WM_SYSCOMMAND, SC_RESTORE, 0);
    // The dialog's own keyboard navigation is skipped: Escape and Enter do
    // not end it while the window is shown.
    RedirectInputToExplorer(m_hwndExplorer);
    return false;
}
