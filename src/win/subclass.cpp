// subclass.cpp - CSubclassWnd over SetWindowSubclass.
#include "win/subclass.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kSubclassId = 0x5B0C;
}

CSubclassWnd::~CSubclassWnd() { UnsubclassWindow(); }

bool CSubclassWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd)
        return false;
    if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWnd = hwnd;
    PreSubclassWindow();
    return true;
}

void CSubclassWnd::UnsubclassWindow()
{
    if (m_hWnd) {
        RemoveWindowSubclass(m_hWnd, SubclassProc, kSubclassId);
        m_hWnd = nullptr;
    }
}

bool CSubclassWnd::OnMessage(UINT, WPARAM, LPARAM, LRESULT &) { return false; }

LRESULT CALLBACK CSubclassWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref)
{
    auto *self = reinterpret_cast<CSubclassWnd *>(ref);
    if (msg == WM_NCDESTROY) {
        self->UnsubclassWindow();
        return DefSubclassProc(hwnd, msg, w, l);
    }
    // No exception may unwind into the system's window procedure.
    try {
        LRESULT result = 0;
        if (self->OnMessage(msg, w, l, result))
            return result;
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, w, l);
}
