// subclass.h - CSubclassWnd, a control whose messages pass through a C++
// object first (comctl32 window subclassing).
//
// Messages that the dialog reflects back to its controls arrive with
// kReflectBase added (WM_DRAWITEM arrives as kReflectBase + WM_DRAWITEM).
#pragma once

#include "win/window.h"

constexpr UINT kReflectBase = WM_USER + 0x1C00;

class CSubclassWnd : public CWindow {
public:
    CSubclassWnd() = default;
    ~CSubclassWnd() override;
    CSubclassWnd(const CSubclassWnd &) = delete;
    CSubclassWnd &operator=(const CSubclassWnd &) = delete;

    // Routes the window's messages through this object; false when hwnd is
    // null, this object already has a window, or the system refuses.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }
    void UnsubclassWindow();

protected:
    // Called once the window is attached, before any message reaches OnMessage.
    virtual void PreSubclassWindow() {}
    // true: handled, result is the message's answer. false: default processing.
    virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT &result);

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
};
