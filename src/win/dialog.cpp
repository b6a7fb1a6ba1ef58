// dialog.cpp - CDialog: creation, modal loop, dialog procedure, data exchange.
#include "win/dialog.h"

#include "win/resource_module.h"
#include "win/subclass.h"

#include <utility>

namespace {

// Property that marks our dialog windows and holds their object.
const char kDialogProp[] = "Sefrabox.Dialog";

} // namespace

void DdxText(CDataExchange &dx, int id, std::string &text, size_t maxBytes)
{
    const HWND edit = dx.pDlg->GetDlgItem(id);
    if (dx.bFailed || !edit)
        return;
    if (dx.bSave) {
        // A text cut to the limit would be stored as if typed so.
        std::string typed = CWindow::GetWindowTextOf(edit);
        if (maxBytes && typed.size() > maxBytes) {
            dx.bFailed = true;
            return;
        }
        text = std::move(typed);
    } else {
        if (maxBytes)
            ::SendMessageA(edit, EM_LIMITTEXT, maxBytes, 0);
        ::SetWindowTextA(edit, text.c_str());
    }
}

void DdxControl(CDataExchange &dx, int id, CSubclassWnd &ctl)
{
    if (!dx.bFailed && !dx.bSave && !ctl.GetSafeHwnd())
        ctl.SubclassDlgItem(id, dx.pDlg->GetSafeHwnd());
}

CDialog::CDialog(UINT idTemplate, HWND parent) : m_idTemplate(idTemplate), m_hParent(parent) {}

CDialog::~CDialog()
{
    if (IsWindow())
        ::DestroyWindow(m_hWnd);
}

CDialog *CDialog::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<CDialog *>(::GetPropA(hwnd, kDialogProp)) : nullptr;
}

bool CDialog::Create()
{
    if (m_hWnd)
        return false;
    m_bModal = false;
    return ::CreateDialogParamA(g_hSefraboxInstance, MAKEINTRESOURCEA(m_idTemplate), m_hParent, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd)
        return -1;
    m_bModal = true;
    m_bEndModal = false;
    m_nResult = -1;
    // Like DialogBox: the parent's top-level window stays disabled while the
    // dialog runs, even when the dialog changes its own parent. The desktop
    // window is never disabled.
    HWND owner = m_hParent ? ::GetAncestor(m_hParent, GA_ROOT) : nullptr;
    const bool disableOwner = owner && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);
    const HWND hwnd = ::CreateDialogParamA(g_hSefraboxInstance, MAKEINTRESOURCEA(m_idTemplate), m_hParent, DialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        if (disableOwner)
            ::EnableWindow(owner, TRUE);
        m_bModal = false;
        return -1;
    }
    if (!m_bEndModal && ::IsWindow(hwnd))
        ::ShowWindow(hwnd, SW_SHOW);

    MSG msg;
    while (!m_bEndModal && ::IsWindow(hwnd)) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT ends the run and stays for the caller's own loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nResult = -1;
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslateThreadMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }

    if (disableOwner)
        ::EnableWindow(owner, TRUE);
    if (::IsWindow(hwnd)) {
        // Hide first so that activation returns to the owner before the destroy.
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hwnd);
    }
    m_bModal = false;
    return m_nResult;
}

void CDialog::EndDialog(int result)
{
    m_nResult = result;
    if (m_bModal) {
        m_bEndModal = true;
        // Wakes the modal loop when the call came from outside a dispatched message.
        if (m_hWnd)
            ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else {
        DestroyWindow();
    }
}

void CDialog::DestroyWindow()
{
    if (IsWindow())
        ::DestroyWindow(m_hWnd);
}

bool CDialog::PreTranslateMessage(MSG *msg) { return m_hWnd && ::IsDialogMessageA(m_hWnd, msg); }

bool CDialog::PreTranslateThreadMessage(MSG *msg)
{
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        if (CDialog *dlg = FromHandle(h))
            if (dlg->PreTranslateMessage(msg))
                return true;
        if (!(::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
}

bool CDialog::UpdateData(bool save)
{
    if (!m_hWnd)
        return false;
    CDataExchange dx{this, save};
    try {
        DoDataExchange(dx);
    } catch (...) {
        return false;
    }
    return !dx.bFailed;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

bool CDialog::OnCommand(WORD id, WORD, HWND)
{
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT &) { return false; }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    CDialog *self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog *>(l);
        self->m_hWnd = hwnd;
        ::SetPropA(hwnd, kDialogProp, self);
    } else {
        self = FromHandle(hwnd);
    }
    if (!self)
        return FALSE;
    INT_PTR result = FALSE;
    try {
        result = self->Dispatch(msg, w, l);
    } catch (...) {
        result = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        ::RemovePropA(hwnd, kDialogProp);
        self->m_hWnd = nullptr;
    }
    return result;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l)) ? TRUE : FALSE;
    case WM_DRAWITEM: {
        // Owner drawing belongs to the control: reflect it.
        const auto *dis = reinterpret_cast<const DRAWITEMSTRUCT *>(l);
        if (dis && dis->CtlType != ODT_MENU && dis->hwndItem &&
            ::SendMessageA(dis->hwndItem, kReflectBase + WM_DRAWITEM, w, l))
            return TRUE;
        break;
    }
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(w));
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        break;
    }
    LRESULT result = 0;
    if (!OnMessage(msg, w, l, result))
        return FALSE;
    switch (msg) {
    // These return their answer from the dialog procedure itself.
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}
