// sefrabox_dlg.cpp - CSefraboxDlg: construction, data exchange, OnInitDialog
// and the routing of the window's messages and commands to their handlers.
#include "ui/sefrabox_dlg.h"

#include "diagnostics/trace.h"
#include "suite/Dravel.h"
#include "suite/Palmet.h"
#include "ui/restart_dlg.h"
#include "win/resource_module.h"

#include <exdispid.h>

#include <cstddef>

namespace {

constexpr UINT kPlatformCaptionFormat = DT_SINGLELINE | DT_BOTTOM;
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
    m_brCtlColor = CBrushView(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));

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

CSefraboxDlg::~CSefraboxDlg() {}

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

    CItemIdList desktop;
    if (FAILED(SHGetSpecialFolderLocation(m_hWnd, CSIDL_DESKTOP, desktop.Receive())) || !desktop) {
        SB_TRACE_LAST_ERROR("SHGetSpecialFolderLocation()");
    } else {
        // The registration keeps its own copy of the list.
        SHChangeNotifyEntry entry{desktop.Get(), TRUE};
        m_ulNotifyID = SHChangeNotifyRegister(m_hWnd, SHCNRF_ShellLevel, 0x7FFFFFFF, WM_SHELL_CHANGE, 1, &entry);
        if (m_ulNotifyID == 0)
            SB_TRACE_LAST_ERROR("SHChangeNotifyRegister()");
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
        OnEnableControls(static_cast<BOOL>(w));
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
