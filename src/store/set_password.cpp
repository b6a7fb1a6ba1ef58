// set_password.cpp - the selected sefra's password in the profile:
// CSefraboxDlg::SetPassword, ReadSefraPassword and the rows' set-password
// buttons that open CSetPwd.
#include "diagnostics/trace.h"
#include "store/password_dialogs.h"
#include "store/profile_names.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "win/pointers.h"
#include "win/res_string.h"

#include <cstdio>
#include <cstring>

namespace {

// Index into m_daRecord of the selected platform button; false when none is
// selected or the list has no entry for it.
bool SelectedRecord(int selButton, const std::vector<DWORD> &records, DWORD &record)
{
    if (selButton < IDC_PLATFORM1)
        return false;
    const size_t index = static_cast<size_t>(selButton - IDC_PLATFORM1);
    if (index >= records.size())
        return false;
    record = records[index];
    return true;
}

} // namespace

BOOL CSefraboxDlg::SetPassword(const char *lpPassword)
{
    if (m_nSelButton == 0)
        return FALSE;
    if (!IsReadableText(lpPassword))
        return FALSE;
    // The value is written quoted, so the profile keeps leading and trailing
    // blanks; a longer text than a password may be is refused, not cut.
    char value[kPasswordSize] = {};
    if (lpPassword[0] != '\0') {
        if (strlen(lpPassword) > kMaxPasswordBytes)
            return FALSE;
        snprintf(value, sizeof value, "'%s'", lpPassword);
    }
    DWORD record = 0;
    if (!SelectedRecord(m_nSelButton, m_daRecord, record))
        return FALSE;

    if (!SetFileAttributesA(m_szSefrabox.c_str(), FILE_ATTRIBUTE_NORMAL))
        SB_TRACE_LAST_ERROR("SetFileAttributes()");
    const DWORD result = SetProfileParameter(record, m_szSefrabox.c_str(), kSchemaPasswordWrite, value);
    if (result != ERROR_SUCCESS)
        SB_TRACE_FAILED(result, "SetProfileParameter()");
    return result == ERROR_SUCCESS ? TRUE : FALSE;
}

int CSefraboxDlg::ReadSefraPassword(char *lpBuffer, size_t cbBuffer)
{
    DWORD record = 0;
    if (m_nSelButton == 0 || !SelectedRecord(m_nSelButton, m_daRecord, record))
        return 0;
    if (!lpBuffer || cbBuffer == 0)
        return 0;
    // The schema states the read buffer's size; the caller's may be smaller.
    char password[kPasswordSize] = {};
    const DWORD read = GetProfileParameter(record, m_szSefrabox.c_str(), kSchemaPasswordRead, password);
    if (read != ERROR_SUCCESS) {
        // Not an empty password: a record that cannot be read opens nothing.
        SB_TRACE_FAILED(read, "GetProfileParameter()");
        return -1;
    }
    password[sizeof password - 1] = '\0';
    const int written = snprintf(lpBuffer, cbBuffer, "%s", password);
    if (written < 0)
        return 0;
    return static_cast<size_t>(written) < cbBuffer ? written : static_cast<int>(strlen(lpBuffer));
}

void CSefraboxDlg::OnSetPasswordButton(int setPasswordButton)
{
    const HWND rowEdit = GetDlgItem(PasswordEditOf(PlatformButtonOfSetPassword(setPasswordButton)));
    ::SetWindowTextA(rowEdit, "");

    char oldPassword[kPasswordSize] = {};
    // Without the old password the dialog would not ask for it.
    if (ReadSefraPassword(oldPassword, sizeof oldPassword) < 0) {
        MessageBoxById(m_hWnd, IDS_OPEN_SEFRA_FAILED, MB_ICONSTOP);
        ::SetFocus(rowEdit);
        return;
    }
    CSetPwd dlg(nullptr);
    dlg.SetInfo(oldPassword, this);
    dlg.DoModal();
    ::SetFocus(rowEdit);
}
