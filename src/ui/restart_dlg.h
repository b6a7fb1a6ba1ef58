// restart_dlg.h - CRestartDlg, the borderless picture dialog with the
// Restart and TurnOff picture buttons. Modal result: IDC_RESTART (2201),
// IDC_TURNOFF (2202) or IDCANCEL (2: the Cancel button or Escape). Enter
// does nothing.
#pragma once

#include "res/resource.h"
#include "ui/skin_button.h"
#include "win/dialog.h"
#include "win/gdi.h"

class CRestartDlg : public CDialog {
public:
    explicit CRestartDlg(HWND parent = nullptr);

protected:
    void DoDataExchange(CDataExchange &dx) override;
    bool OnCommand(WORD id, WORD code, HWND ctl) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT &result) override;

private:
    void OnPaint();

    CSkinButton m_btnTurnOff;
    CSkinButton m_btnRestart;
    // Bitmap resource 2209, loaded on the first paint and kept.
    CBitmapObject m_hBackBitmap;
};
