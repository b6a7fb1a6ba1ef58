// sefrabox_controls.cpp - the main dialog's controls and look: the platform
// rows, background clicks, Cancel with its restart dialog, painting, control
// colours, the hot key, and the opening window shown while a sefra opens.
#include "diagnostics/trace.h"
#include "suite/Dravel.h"
#include "ui/restart_dlg.h"
#include "ui/sefrabox_dlg.h"
#include "win/resource_module.h"

#include <new>

namespace {

constexpr COLORREF kLabelColour = RGB(70, 70, 70);

} // namespace

void CSefraboxDlg::EnableSefraControls(BOOL enable)
{
    for (int id = IDC_PLATFORM1; id <= IDC_SETPWD3; ++id)
        if (const HWND ctl = GetDlgItem(id))
            ::EnableWindow(ctl, enable);
}

void CSefraboxDlg::ShowPlatformRow(int platformButton, int show)
{
    ::ShowWindow(GetDlgItem(EnterButtonOf(platformButton)), show);
    const HWND edit = GetDlgItem(PasswordEditOf(platformButton));
    ::SetWindowTextA(edit, "");
    ::ShowWindow(edit, show);
    ::ShowWindow(GetDlgItem(SetPasswordButtonOf(platformButton)), show);
}

void CSefraboxDlg::OnPlatformButton(int platformButton)
{
    m_nSelButton = platformButton;
    for (int other = IDC_PLATFORM1; other <= IDC_PLATFORM3; ++other)
        if (other != platformButton)
            ShowPlatformRow(other, SW_HIDE);
    ShowPlatformRow(platformButton, SW_SHOW);
    ::SetFocus(GetDlgItem(PasswordEditOf(platformButton)));
}

void CSefraboxDlg::OnClickBackground()
{
    // The choice stays: Enter still opens the last chosen sefra.
    ShowPlatformRow(IDC_PLATFORM2, SW_HIDE);
    ShowPlatformRow(IDC_PLATFORM3, SW_HIDE);
    ShowPlatformRow(IDC_PLATFORM1, SW_HIDE);
}

void CSefraboxDlg::OnCancel()
{
    if (!m_pnResult) {
        EndDialog(IDCANCEL);
        return;
    }
    *m_pnResult = 0;
    ShowWindow(SW_HIDE);
    int result;
    {
        CRestartDlg restart(nullptr);
        result = static_cast<int>(restart.DoModal());
    }
    ShowWindow(SW_SHOW);
    if (result == IDCANCEL)
        return;
    // Restart, TurnOff, and a restart dialog that failed to run all close
    // the dialog; the result word stays 0.
    EndDialog(IDCANCEL);
}

void CSefraboxDlg::OnPaint()
{
    CPaintScope paint(m_hWnd);
    RECT rc{};
    GetClientRect(&rc);
    CRgnObject region(CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, 5, 5));
    // The window owns the region from here on.
    if (SetWindowRgn(m_hWnd, region.Get(), TRUE))
        m_rgnWindow = CRgnView(region.Detach());

    if (!m_hBackBitmap) {
        if (!m_bmpBack)
            m_bmpDefaultBack.Reset(LoadBitmapA(g_hSefraboxInstance, MAKEINTRESOURCEA(IDB_BACKGROUND)));
        m_hBackBitmap = CBitmapView(m_bmpBack ? m_bmpBack.Get() : m_bmpDefaultBack.Get());
    }
    DrawBackground(paint.Get(), m_hBackBitmap.Get());
}

HBRUSH CSefraboxDlg::OnCtlColor(HDC dc, HWND ctl, UINT kind, LRESULT baseResult)
{
    const HBRUSH base = reinterpret_cast<HBRUSH>(baseResult);
    char cls[16] = {};
    if (ctl && GetClassNameA(ctl, cls, sizeof(cls)) && lstrcmpiA(cls, "EDIT") == 0)
        return base;
    switch (kind) {
    case CTLCOLOR_STATIC:
        SetTextColor(dc, kLabelColour);
        SetBkMode(dc, TRANSPARENT);
        return m_brCtlColor.Get();
    case CTLCOLOR_BTN:
        SetBkMode(dc, TRANSPARENT);
        return m_brCtlColor.Get();
    default:
        return base;
    }
}

void CSefraboxDlg::OnHotKey(int id)
{
    // A modal child (the opening window) disables the dialog: no hot key then.
    if (id != kHotKeyId || !IsWindowEnabled())
        return;
    m_bClosedByHotKey = 1;
    Dravel_Cleanup();
    m_hPlatformChannel.Reset();
    // Unmounting follows from the dialog's destruction.
    EndDialog(0);
}

// The modeless "opening" window over the disabled main dialog, while a sefra
// opens. The shell-change handler ends it and enables the main dialog once
// the drive has arrived; the copy mode ends it itself.
void CSefraboxDlg::ShowOpeningDialog()
{
    if (!m_pOpenningDlg) {
        m_pOpenningDlg.reset(new (std::nothrow) COpeningDlg(m_hWnd));
        if (!m_pOpenningDlg) {
            SB_TRACE("new failed! Memory not enough!");
            return;
        }
    }
    EnableWindow(false);
    if (!m_pOpenningDlg->IsWindow() && !m_pOpenningDlg->Create())
        return;
    m_pOpenningDlg->ShowWindow(SW_SHOW);
    m_pOpenningDlg->CenterWindow(::GetDesktopWindow());
    ::UpdateWindow(*m_pOpenningDlg);
}
