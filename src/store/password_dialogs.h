// password_dialogs.h - the two modal password dialogs of a sefra: CChkPwd
// asks for the password of one sefra, CSetPwd sets, changes or clears the
// password of the main dialog's selected sefra.
//
// Passwords are at most 8 bytes and are compared without regard to letter
// case (double-byte characters byte for byte); only the reset code that
// CSetPwd takes in place of the old password must match exactly.
#pragma once

#include "res/resource.h"
#include "win/dialog.h"

#include <string>

class CSefraboxDlg;

// The one comparison of passwords (opening a sefra, CChkPwd, CSetPwd's old
// password and confirmation): the whole texts, single-byte letters without
// regard to case, double-byte characters byte for byte.
bool SamePassword(const char *a, const char *b);

// Template 1155. OK (1) means the typed password matched; Cancel (2).
class CChkPwd : public CDialog {
public:
    explicit CChkPwd(HWND parent = nullptr);

    // The password to compare with and the sefra's display name.
    void SetInfo(const char *lpStoredPwd, const char *lpName);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange &dx) override;
    void OnOK() override;

public:
    std::string m_szPassword;
    std::string m_szName;
    std::string m_szStoredPwd;
};

// Template 1000. Closes with OK only after the new password was written.
class CSetPwd : public CDialog {
public:
    explicit CSetPwd(HWND parent = nullptr);

    // lpOldPwd: the sefra's current password (empty text when it has none),
    // not copied; pSefrabox: the dialog that writes the new one. FALSE, and
    // nothing changed, when either cannot be read.
    BOOL SetInfo(const char *lpOldPwd, CSefraboxDlg *pSefrabox);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange &dx) override;
    void OnOK() override;

private:
    // Checks the old password and the confirmation, then writes; TRUE when
    // the new password is stored.
    BOOL CheckAndSave();
    // Puts the focus into edit id with its whole text selected and in view.
    void SelectEdit(int id);

public:
    CWindow m_stTitle;
    std::string m_szConfirmPwd;
    std::string m_szNewPwd;
    std::string m_szOldPwd;
    const char *m_lpOldPwd = nullptr;
    CSefraboxDlg *m_pSefrabox = nullptr;
};
