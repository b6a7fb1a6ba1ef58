// sefrabox_dlg.cpp - CSefraboxDlg: construction, data exchange, OnInitDialog,
// message routing, the event dispatch, and the handlers of the dialog's own
// look and controls (platform rows, background clicks, Cancel, painting,
// control colours, hot key).
#include "ui/sefrabox_dlg.h"

#include "diagnostics/trace.h"
#include "module/app.h"
#include "suite/Dravel.h"
#include "suite/Palmet.h"
#include "ui/restart_dlg.h"

#include <exdispid.h>

#include <cstddef>

namespace {

constexpr COLORREF kLabelColour = RGB(70, 70, 70);
constexpr UINT kPlatformCaptionFormat = DT_SINGLELINE | DT_BOTTOM; // 0x28
const char kBackgroundFile[] = "SefraboxBack.bmp";

bool IsPlatformButton(int id) { return id >= IDC_PLATFORM1 && id <= IDC_PLATFORM3; }

} // namespace

CSefraboxDlg::CSefraboxDlg(HWND parent) : CDialog(IDD_SEFRABOX, parent)
{
    // SB_ShowDlg hands this object to callers whose framework reads the
    // window handle at a fixed offset (see window.h).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
    static_assert(offsetof(CSefraboxDlg, m_hWnd) == kFrameworkHandleOffset, "handle where callers read it");
#pragma GCC diagnostic pop
    m_brCtlColor.AttachStock(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));

    m_btnPlatform1.SetBitmaps(1130, 1128, 0, 1129, 0, 0);
    m_btnPlatform2.SetBitmaps(1133, 1131, 0, 1132, 0, 0);
    m_btnPlatform3.SetBitmaps(1136, 1134, 0, 1135, 0, 0);
    m_btnEnter1.SetBitmaps(1147, 1148, 0, 1146, 0, 0);
    m_btnEnter2.SetBitmaps(1153, 1154, 0, 1152, 0, 0);
    m_btnEnter3.SetBitmaps(1150, 1151, 0, 1149, 0, 0);
    m_btnSetPwd1.SetBitmaps(1139, 1140, 0, 1138, 0, 0);
    m_btnSetPwd2.SetBitmaps(1145, 1137, 0, 1144, 0, 0);
    m_btnSetPwd3.SetBitmaps(1142, 1143, 0, 1141, 0, 0);
    m_btnClose.SetBitmaps(1125, 1126, 1125, 1124, 0, 0);
    m_btnPlatform1.SetTextFormat(kPlatformCaptionFormat, TRUE);
    m_btnPlatform2.SetTextFormat(kPlatformCaptionFormat, TRUE);
    m_btnPlatform3.SetTextFormat(kPlatformCaptionFormat, TRUE);

    // A missing or unreadable picture leaves the background empty; painting
    // then falls back to bitmap resource 1123.
    char path[MAX_PATH] = {};
    GetModuleFilePath(path, kBackgroundFile, g_hSefraboxInstance);
    path[MAX_PATH - 1] = '\0';
    if (path[0])
        m_bmpBack.LoadFromFile(path, RGB(0, 0, 0));
}

CSefraboxDlg::~CSefraboxDlg()
{
    if (m_hBackBitmap && m_hBackBitmap != m_bmpBack.Get())
        DeleteObject(m_hBackBitmap);
    if (m_pidlSelect)
        ILFree(m_pidlSelect);
}

void CSefraboxDlg::DoDataExchange(CDataExchange &dx)
{
    DdxControl(dx, IDC_ENTER2, m_btnEnter2);
    DdxControl(dx, IDC_ENTER3, m_btnEnter3);
    DdxControl(dx, IDC_ENTER1, m_btnEnter1);
    DdxControl(dx, IDC_SETPWD2, m_btnSetPwd2);
    DdxControl(dx, IDC_SETPWD3, m_btnSetPwd3);
    DdxControl(dx, IDC_SETPWD1, m_btnSetPwd1);
    DdxControl(dx, IDC_PLATFORM3, m_btnPlatform3);
    DdxControl(dx, IDC_PLATFORM2, m_btnPlatform2);
    DdxControl(dx, IDC_PLATFORM1, m_btnPlatform1);
    DdxControl(dx, IDCANCEL, m_btnClose);
    DdxText(dx, IDC_PWD1, m_szPwd1, kMaxPasswordBytes);
    DdxText(dx, IDC_PWD3, m_szPwd3, kMaxPasswordBytes);
    DdxText(dx, IDC_PWD2, m_szPwd2, kMaxPasswordBytes);
}

BOOL CSefraboxDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // Another dialog may hold the hot key: the dialog then runs without it.
    if (!RegisterHotKey(m_hWnd, kHotKeyId, kHotKeyModifiers, kHotKeyVirtualKey))
        SB_TRACE("RegisterHotKey() Error.%s", GetErrorText(GetLastError()).c_str());

    ::SetParent(m_hWnd, ::GetDesktopWindow());

    char title[64] = {};
    LoadStringA(g_hSefraboxInstance, IDS_MODULE_TITLE, title, sizeof(title));
    SetWindowText(title);

    LoadSefraList();

    ModifyStyleEx(0, WS_EX_APPWINDOW);
    CenterWindow(::GetDesktopWindow());

    LPITEMIDLIST desktop = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(m_hWnd, CSIDL_DESKTOP, &desktop)) || !desktop) {
        SB_TRACE("SHGetSpecialFolderLocation() failed! %s", GetErrorText(GetLastError()).c_str());
    } else {
        SHChangeNotifyEntry entry{desktop, TRUE};
        m_ulNotifyID = SHChangeNotifyRegister(m_hWnd, SHCNRF_ShellLevel, 0x7FFFFFFF, WM_SHELL_CHANGE, 1, &entry);
        if (m_ulNotifyID == 0)
            SB_TRACE("SHChangeNotifyRegister() failed! %s", GetErrorText(GetLastError()).c_str());
        // The registration keeps its own copy of the list.
        ILFree(desktop);
    }

    SetTimer(m_hWnd, ACTIVATE_DIALOG, 300, nullptr);
    return TRUE;
}

bool CSefraboxDlg::OnCommand(WORD id, WORD code, HWND ctl)
{
    if (code == BN_CLICKED) {
        if (IsPlatformButton(id)) {
            OnPlatformButton(id);
            return true;
        }
        if (id >= IDC_ENTER1 && id <= IDC_ENTER3) {
            OnOK();
            return true;
        }
        if (id >= IDC_SETPWD1 && id <= IDC_SETPWD3) {
            OnSetPasswordButton(id);
            return true;
        }
    }
    return CDialog::OnCommand(id, code, ctl);
}

void CSefraboxDlg::OnOK() { OpenSefra(); }

bool CSefraboxDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT &result)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnClickBackground();
        return false;
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        const LRESULT base = DefWindowProcA(m_hWnd, msg, w, l);
        result = reinterpret_cast<LRESULT>(
            OnCtlColor(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), msg - WM_CTLCOLORMSGBOX, base));
        return true;
    }
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(w));
        result = 0;
        return true;
    case WM_QUERYENDSESSION:
        result = OnQueryEndSession();
        return true;
    case WM_SHELL_CHANGE:
        OnShellChangeNotify(w, l);
        result = 0;
        return true;
    case WM_REOPEN_EXPLORER:
        OnReopenExplorer();
        result = 0;
        return true;
    case WM_ENABLE_CONTROLS:
        EnableSefraControls(static_cast<BOOL>(w));
        result = 0;
        return true;
    case WM_SEFRA_DRIVE_ARRIVED:
        OnSefraDriveArrived();
        result = 0;
        return true;
    case WM_RELEASE_BROWSER:
        OnReleaseBrowser(static_cast<LONG>(w));
        result = 0;
        return true;
    default:
        return CDialog::OnMessage(msg, w, l, result);
    }
}

bool CSefraboxDlg::IsEventInterface(REFIID iid) const
{
    return IsEqualIID(iid, DIID_DWebBrowserEvents2) || IsEqualIID(iid, DIID_DShellWindowsEvents);
}

bool CSefraboxDlg::OnInvoke(DISPID id, DISPPARAMS *params)
{
    // Arguments arrive last first.
    const UINT n = params->cArgs;
    VARIANT *args = params->rgvarg;
    switch (id) {
    case DISPID_SB_WINDOWREGISTERED: {
        long cookie = 0;
        if (n >= 1 && V_VT(&args[0]) == VT_I4)
            cookie = V_I4(&args[0]);
        WindowRegistered(cookie);
        return true;
    }
    case DISPID_SB_ONQUIT:
        OnQuit();
        return true;
    case DISPID_SB_DOCUMENTCOMPLETE: {
        IDispatch *disp = n >= 2 && V_VT(&args[1]) == VT_DISPATCH ? V_DISPATCH(&args[1]) : nullptr;
        VARIANT *url = n >= 2 && V_VT(&args[0]) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(&args[0]) : nullptr;
        DocumentComplete(disp, url);
        return true;
    }
    case DISPID_SB_WINDOWCLOSING: {
        const VARIANT_BOOL child = n >= 2 && V_VT(&args[1]) == VT_BOOL ? V_BOOL(&args[1]) : VARIANT_FALSE;
        VARIANT_BOOL *cancel = n >= 2 && V_VT(&args[0]) == (VT_BOOL | VT_BYREF) ? V_BOOLREF(&args[0]) : nullptr;
        WindowClosing(child, cancel);
        return true;
    }
    default:
        return false;
    }
}

void CSefraboxDlg::WindowClosing(VARIANT_BOOL, VARIANT_BOOL *)
{
    // The cancel flag stays as it came: the window closes.
    SB_TRACE("CSefraboxDlg::WindowClosing()");
}

void CSefraboxDlg::EnableSefraControls(BOOL enable)
{
    for (int id = IDC_PLATFORM1; id <= IDC_SETPWD3; ++id)
        if (const HWND ctl = GetDlgItem(id))
            ::EnableWindow(ctl, enable);
}

void CSefraboxDlg::ShowPlatformRow(int platformButton, int show)
{
    ::ShowWindow(GetDlgItem(platformButton + 6), show);
    const HWND edit = GetDlgItem(platformButton + 3);
    ::SetWindowTextA(edit, "");
    ::ShowWindow(edit, show);
    ::ShowWindow(GetDlgItem(platformButton + 9), show);
}

void CSefraboxDlg::OnPlatformButton(int platformButton)
{
    m_nSelButton = platformButton;
    for (int other = IDC_PLATFORM1; other <= IDC_PLATFORM3; ++other)
        if (other != platformButton)
            ShowPlatformRow(other, SW_HIDE);
    ShowPlatformRow(platformButton, SW_SHOW);
    ::SetFocus(GetDlgItem(platformButton + 3));
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
    m_rgnWindow = CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, 5, 5);
    // The window owns the region from here on.
    SetWindowRgn(m_hWnd, m_rgnWindow, TRUE);

    CMemoryDC mem(paint.Get());
    if (!m_hBackBitmap) {
        m_hBackBitmap = m_bmpBack.Get();
        if (!m_hBackBitmap)
            m_hBackBitmap = LoadBitmapA(g_hSefraboxInstance, MAKEINTRESOURCEA(IDB_BACKGROUND));
    }
    if (!m_hBackBitmap || !mem.Get())
        return;
    CSelectObject select(mem.Get(), m_hBackBitmap);
    if (select.Ok())
        BitBlt(paint.Get(), 0, 0, GetDeviceCaps(paint.Get(), HORZRES), GetDeviceCaps(paint.Get(), VERTRES), mem.Get(),
               0, 0, SRCCOPY);
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
    if (m_hPlatformChannel != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hPlatformChannel);
        m_hPlatformChannel = INVALID_HANDLE_VALUE;
    }
    // Unmounting follows from the dialog's destruction.
    EndDialog(0);
}
