// progress_dlgs.cpp - command routing of the progress windows.
#include "ui/progress_dlgs.h"

bool CCheckingDlg::OnCommand(WORD id, WORD code, HWND ctl)
{
    if (id == IDOK || id == IDCANCEL)
        return false;
    return CDialog::OnCommand(id, code, ctl);
}

bool COpeningDlg::OnCommand(WORD id, WORD code, HWND ctl)
{
    if (id == IDOK || id == IDCANCEL)
        return false;
    return CDialog::OnCommand(id, code, ctl);
}
