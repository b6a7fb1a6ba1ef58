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

LRESULT CSubclassWnd::Default() { return DefSubclassProc(m_hWnd, m_curMsg, m_curW, m_curL); }

LRESULT CALLBACK CSubclassWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref)
{
    auto *self = reinterpret_cast<CSubclassWnd *>(ref);
    if (msg == WM_NCDESTROY) {
        self->UnsubclassWindow();
        return DefSubclassProc(hwnd, msg, w, l);
    }
    // The message being handled, for Default(); nested messages restore it.
    struct CurrentMessage {
        CSubclassWnd *self;
        UINT msg;
        WPARAM w;
        LPARAM l;
        CurrentMessage(CSubclassWnd *s, UINT m, WPARAM wp, LPARAM lp)
            : self(s), msg(s->m_curMsg), w(s->m_curW), l(s->m_curL)
        {
            s->m_curMsg = m;
            s->m_curW = wp;
            s->m_curL = lp;
        }
        ~CurrentMessage()
        {
            self->m_curMsg = msg;
            self->m_curW = w;
            self->m_curL = l;
        }
    };
    // No exception may unwind into the system's window procedure.
    try {
        CurrentMessage current(self, msg, w, l);
        LRESULT result = 0;
        if (self->OnMessage(msg, w, l, result))
            return result;
    } catch (...) {
    }
    return DefSubclassProc(hwnd, msg, w, l);
}
