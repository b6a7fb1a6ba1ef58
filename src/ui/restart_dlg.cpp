// restart_dlg.cpp - CRestartDlg: skins, commands and background painting.
#include "ui/restart_dlg.h"

#include "win/resource_module.h"

CRestartDlg::CRestartDlg(HWND parent) : CDialog(IDD_RESTART, parent)
{
    m_btnRestart.SetBitmaps(2208, 2207, 2208, 2206, 0, 0);
    m_btnTurnOff.SetBitmaps(2205, 2204, 2205, 2203, 0, 0);
}

void CRestartDlg::DoDataExchange(CDataExchange &dx)
{
    DdxControl(dx, IDC_TURNOFF, m_btnTurnOff);
    DdxControl(dx, IDC_RESTART, m_btnRestart);
}

bool CRestartDlg::OnCommand(WORD id, WORD code, HWND ctl)
{
    switch (id) {
    case IDOK:
        return false;
    case IDC_RESTART:
    case IDC_TURNOFF:
        EndDialog(id);
        return true;
    default:
        return CDialog::OnCommand(id, code, ctl);
    }
}

bool CRestartDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT &result)
{
    if (msg == WM_PAINT) {
        OnPaint();
        result = 0;
        return true;
    }
    return CDialog::OnMessage(msg, w, l, result);
}

void CRestartDlg::OnPaint()
{
    CPaintScope paint(m_hWnd);
    if (!m_hBackBitmap)
        m_hBackBitmap.Reset(LoadBitmapA(g_hSefraboxInstance, MAKEINTRESOURCEA(IDB_RESTART_BACK)));
    DrawBackground(paint.Get(), m_hBackBitmap.Get());
}
