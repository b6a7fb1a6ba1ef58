// password_dialogs.cpp - CChkPwd and CSetPwd: prompt, comparisons, the
// old-password and reset-code rule, and the write through the main dialog.
#include "store/password_dialogs.h"

#include "diagnostics/trace.h"
#include "store/ansi_lead_byte.h"
#include "store/mbcs_text.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "win/pointers.h"
#include "win/res_string.h"

#include <cstdio>
#include <cstring>

namespace {

// The old-password edit also takes the reset code.
constexpr size_t kResetCodeChars = 18;
constexpr DWORD kResetCodeBufferSize = 19;

} // namespace

bool SamePassword(const char *a, const char *b) { return MbsICompare(a, b, IsAnsiLeadByte) == 0; }

CChkPwd::CChkPwd(HWND parent) : CDialog(IDD_CHECK_PASSWORD, parent) {}

void CChkPwd::SetInfo(const char *lpStoredPwd, const char *lpName)
{
    m_szStoredPwd = IsReadableText(lpStoredPwd) ? lpStoredPwd : "";
    m_szName = IsReadableText(lpName) ? lpName : "";
}

void CChkPwd::DoDataExchange(CDataExchange &dx) { DdxText(dx, IDC_CHKPWD_EDIT, m_szPassword, kMaxPasswordBytes); }

BOOL CChkPwd::OnInitDialog()
{
    CDialog::OnInitDialog();
    SB_TRACE("CChkPwd::OnInitDialog()");

    char prompt[512] = {};
    snprintf(prompt, sizeof prompt, LoadResString(IDS_PASSWORD_PROMPT_FMT).c_str(), m_szName.c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_CHKPWD_PROMPT, prompt);

    CenterWindow(::GetDesktopWindow());
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CChkPwd::OnOK()
{
    UpdateData(true);
    if (SamePassword(m_szStoredPwd.c_str(), m_szPassword.c_str())) {
        EndDialog(IDOK);
        return;
    }
    MessageBoxById(m_hWnd, IDS_WRONG_PASSWORD, MB_ICONSTOP);
    const HWND edit = GetDlgItem(IDC_CHKPWD_EDIT);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

CSetPwd::CSetPwd(HWND parent) : CDialog(IDD_SET_PASSWORD, parent) {}

BOOL CSetPwd::SetInfo(const char *lpOldPwd, CSefraboxDlg *pSefrabox)
{
    if (!IsReadableText(lpOldPwd) || !IsReadableBlock(pSefrabox, sizeof(CSefraboxDlg)))
        return FALSE;
    m_lpOldPwd = lpOldPwd;
    m_pSefrabox = pSefrabox;
    return TRUE;
}

void CSetPwd::DoDataExchange(CDataExchange &dx)
{
    if (!dx.bSave)
        m_stTitle = CWindow(GetDlgItem(IDC_SETPWD_TITLE));
    DdxText(dx, IDC_SETPWD_CONFIRM, m_szConfirmPwd, kMaxPasswordBytes);
    DdxText(dx, IDC_SETPWD_NEW, m_szNewPwd, kMaxPasswordBytes);
    DdxText(dx, IDC_SETPWD_OLD, m_szOldPwd, kResetCodeChars);
}

BOOL CSetPwd::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Without SetInfo there is no old password either.
    if (!m_lpOldPwd || m_lpOldPwd[0] == '\0')
        ::EnableWindow(GetDlgItem(IDC_SETPWD_OLD), FALSE);
    return TRUE;
}

void CSetPwd::OnOK()
{
    if (CheckAndSave())
        EndDialog(IDOK);
}

void CSetPwd::SelectEdit(int id)
{
    const HWND edit = GetDlgItem(id);
    ::SetFocus(edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    ::SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

BOOL CSetPwd::CheckAndSave()
{
    if (!IsReadableText(m_lpOldPwd) || !IsReadableBlock(m_pSefrabox, sizeof(CSefraboxDlg))) {
        SB_TRACE("m_lpOldPwd and m_pSefrabox is bad!");
        return FALSE;
    }
    if (!UpdateData(true)) {
        SB_TRACE("UpdateData() failed!");
        return FALSE;
    }

    const bool hadPassword = m_lpOldPwd[0] != '\0';
    if (hadPassword) {
        // The whole text: a profile written elsewhere may hold a password
        // longer than 8 bytes, and a text that shares only its first 8 bytes
        // and its length is not that password.
        if (SamePassword(m_lpOldPwd, m_szOldPwd.c_str())) {
            SB_TRACE("m_lpOldPwd == m_szOldPwd");
        } else {
            char code[kResetCodeBufferSize] = {};
            GetResetCode(code, kResetCodeBufferSize);
            code[kResetCodeChars] = '\0';
            // A shorter or missing code never matches.
            const bool isResetCode =
                m_szOldPwd.size() == kResetCodeChars && strlen(code) == kResetCodeChars && m_szOldPwd == code;
            if (!isResetCode) {
                MessageBoxById(m_hWnd, IDS_WRONG_OLD_PASSWORD, MB_ICONSTOP);
                SelectEdit(IDC_SETPWD_OLD);
                return FALSE;
            }
        }
    }

    if (!SamePassword(m_szNewPwd.c_str(), m_szConfirmPwd.c_str())) {
        MessageBoxById(m_hWnd, IDS_NEW_PASSWORDS_DIFFER, MB_OK);
        SelectEdit(IDC_SETPWD_NEW);
        return FALSE;
    }

    if (!m_pSefrabox->SetPassword(m_szNewPwd.c_str())) {
        SB_TRACE("SetPassword() failed!");
        return FALSE;
    }
    MessageBoxById(m_hWnd, hadPassword ? IDS_PASSWORD_CHANGED : IDS_PASSWORD_ADDED, MB_OK);
    return TRUE;
}
