// progress_dlgs.h - CCheckingDlg and COpeningDlg, the modeless windows shown
// while the store is checked and while a sefra opens. The user cannot close
// them: OK and Cancel (Enter, Escape, WM_CLOSE) are not routed; their
// owners end them.
#pragma once

#include "res/resource.h"
#include "win/dialog.h"

class CCheckingDlg : public CDialog {
public:
    explicit CCheckingDlg(HWND parent = nullptr) : CDialog(IDD_CHECKING, parent) {}

protected:
    bool OnCommand(WORD id, WORD code, HWND ctl) override;
};

class COpeningDlg : public CDialog {
public:
    explicit COpeningDlg(HWND parent = nullptr) : CDialog(IDD_OPENING, parent) {}

protected:
    bool OnCommand(WORD id, WORD code, HWND ctl) override;
};
