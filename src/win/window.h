// window.h - CWindow, a non-owning view of an HWND with one-line forwards.
//
// CWindow never destroys its window; the dialog and subclass classes built
// on it decide when a window ends.
//
// Layout: the suite's programs are built on a framework whose window
// objects hold their window handle at offset 0x1C, after the vtable pointer
// and six words of command-target state, and the show entry hands our main
// dialog to them as such an object. CWindow keeps its handle at the same
// place; the six words stay zero.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// Where a caller's framework reads the window handle of a window object.
constexpr size_t kFrameworkHandleOffset = 0x1C;

class CWindow {
public:
    CWindow() = default;
    explicit CWindow(HWND hwnd) : m_hWnd(hwnd) {}
    virtual ~CWindow() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }
    bool IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    bool ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
    bool EnableWindow(bool enable) const { return ::EnableWindow(m_hWnd, enable ? TRUE : FALSE) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool SetWindowText(const char *text) const { return ::SetWindowTextA(m_hWnd, text) != FALSE; }
    // The window's whole text (ANSI code page).
    std::string GetWindowText() const { return GetWindowTextOf(m_hWnd); }
    bool GetClientRect(RECT *rc) const { return ::GetClientRect(m_hWnd, rc) != FALSE; }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(m_hWnd, msg, w, l); }
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(m_hWnd, msg, w, l) != FALSE; }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    void ModifyStyle(LONG_PTR remove, LONG_PTR add) const
    {
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (GetStyle() & ~remove) | add);
    }
    void ModifyStyleEx(LONG_PTR remove, LONG_PTR add) const
    {
        ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, (::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE) & ~remove) | add);
    }
    // Centres the window over another one (null: the desktop window).
    void CenterWindow(HWND over = nullptr) const;

    static std::string GetWindowTextOf(HWND hwnd);

protected:
    DWORD m_dwFrameworkState[6] = {}; // unused here; see the layout above
    HWND m_hWnd = nullptr;
};

inline void CWindow::CenterWindow(HWND over) const
{
    if (!over)
        over = ::GetDesktopWindow();
    RECT rcOver{}, rc{};
    ::GetWindowRect(over, &rcOver);
    ::GetWindowRect(m_hWnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    const int x = rcOver.left + (rcOver.right - rcOver.left - w) / 2;
    const int y = rcOver.top + (rcOver.bottom - rcOver.top - h) / 2;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

inline std::string CWindow::GetWindowTextOf(HWND hwnd)
{
    const int len = ::GetWindowTextLengthA(hwnd);
    if (len <= 0)
        return std::string();
    std::string text(static_cast<size_t>(len) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, &text[0], len + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}
