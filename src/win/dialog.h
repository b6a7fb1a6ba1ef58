// dialog.h - CDialog, a dialog from a template of Sefrabox.dll's own
// resources, run modally (own message loop) or modeless, plus the data
// exchange between its controls and members (CDataExchange, DdxText,
// DdxControl).
//
// One static dialog procedure binds the object at WM_INITDIALOG and calls
// the virtual handlers; no exception leaves it. The modal loop hands every
// message to PreTranslateMessage of each of our dialogs from the target
// window up to its top-level window before dispatching it, so modeless
// dialogs shown during a modal run get their keyboard navigation too.
#pragma once

#include "win/window.h"

#include <string>

class CDialog;
class CSubclassWnd;

// Direction of one data exchange: save = controls to members. bFailed ends
// the exchange: the members after the failed one are not touched.
struct CDataExchange {
    CDialog *pDlg;
    bool bSave;
    bool bFailed = false;
};

// Binds edit id to text: loading sets the text and limits the edit to
// maxBytes; saving fails the exchange, text unchanged, when the edit holds
// more than maxBytes bytes (another program may set any text). maxBytes 0
// means no limit.
void DdxText(CDataExchange &dx, int id, std::string &text, size_t maxBytes = 0);
// Subclasses control id with ctl on the first load.
void DdxControl(CDataExchange &dx, int id, CSubclassWnd &ctl);

class CDialog : public CWindow {
public:
    // Template id in Sefrabox.dll's resources; parent may be null.
    CDialog(UINT idTemplate, HWND parent);
    ~CDialog() override;
    CDialog(const CDialog &) = delete;
    CDialog &operator=(const CDialog &) = delete;

    // Runs the dialog modally; its result, or -1 when it cannot be created.
    INT_PTR DoModal();
    // Creates the dialog modeless (hidden unless the template says visible).
    bool Create();
    // Modal: ends the loop with result. Modeless: destroys the window.
    void EndDialog(int result);
    void DestroyWindow();

    // true when msg was consumed. The default runs the dialog manager's
    // keyboard navigation.
    virtual bool PreTranslateMessage(MSG *msg);
    // Offers msg to every dialog of ours from its target window upwards.
    static bool PreTranslateThreadMessage(MSG *msg);
    // The dialog object of one of our dialog windows, or null.
    static CDialog *FromHandle(HWND hwnd);

    // Moves data between controls and members; false when the exchange failed
    // (a saved text over its limit).
    bool UpdateData(bool save);

    UINT GetTemplateId() const { return m_idTemplate; }

protected:
    // Runs DoDataExchange(load). Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange &) {}
    // Command routing: true when handled. The default sends IDOK to OnOK and
    // IDCANCEL to OnCancel.
    virtual bool OnCommand(WORD id, WORD code, HWND ctl);
    // Saves the data, then ends with IDOK.
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnDestroy() {}
    virtual void OnTimer(UINT_PTR) {}
    // Every other message. true: handled, result is its answer (for the
    // WM_CTLCOLOR* messages the brush).
    virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT &result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    INT_PTR Dispatch(UINT msg, WPARAM w, LPARAM l);

    UINT m_idTemplate;
    HWND m_hParent;
    bool m_bModal = false;
    bool m_bEndModal = false;
    int m_nResult = -1;
};
