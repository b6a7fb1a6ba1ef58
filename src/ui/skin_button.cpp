// skin_button.cpp - CSkinButton: bitmaps, state choice, drawing, hover tracking.
#include "ui/skin_button.h"

#include "win/resource_module.h"

#include <commctrl.h>

namespace {
HBITMAP LoadSkin(UINT id) { return id ? LoadBitmapA(g_hSefraboxInstance, MAKEINTRESOURCEA(id)) : nullptr; }
} // namespace

void CSkinButton::SetBitmaps(UINT idNormal, UINT idHover, UINT idFocus, UINT idPressed, UINT idDisabled, UINT idDefault)
{
    m_bmpNormal.Reset(LoadSkin(idNormal));
    m_bmpHover.Reset(LoadSkin(idHover));
    m_bmpFocus.Reset(LoadSkin(idFocus));
    m_bmpPressed.Reset(LoadSkin(idPressed));
    m_bmpDisabled.Reset(LoadSkin(idDisabled));
    m_bmpDefault.Reset(LoadSkin(idDefault));
}

void CSkinButton::SetTextFormat(UINT format, BOOL drawText)
{
    m_nTextFormat = format;
    m_bDrawText = drawText ? 1 : 0;
}

HBITMAP CSkinButton::ChooseBitmap(UINT itemState) const
{
    const CBitmapObject *chosen = &m_bmpNormal;
    if (itemState & ODS_DISABLED)
        chosen = &m_bmpDisabled;
    else if (itemState & ODS_SELECTED)
        chosen = &m_bmpPressed;
    else if (m_bHover == 1)
        chosen = &m_bmpHover;
    else if (itemState & ODS_FOCUS)
        chosen = &m_bmpFocus;
    else if (itemState & ODS_DEFAULT)
        chosen = &m_bmpDefault;
    return chosen->Get() ? chosen->Get() : m_bmpNormal.Get();
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT *dis)
{
    const HDC dc = dis->hDC;
    RECT rc{};
    GetClientRect(&rc);
    DrawBitmap(dc, ChooseBitmap(dis->itemState), rc.right - rc.left, rc.bottom - rc.top);
    if (m_bDrawText == 1) {
        std::string text = GetWindowText();
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, m_nTextFormat);
        SetBkMode(dc, oldMode);
    }
}

void CSkinButton::PreSubclassWindow() { ModifyStyle(0, BS_OWNERDRAW); }

bool CSkinButton::OnMessage(UINT msg, WPARAM, LPARAM l, LRESULT &result)
{
    switch (msg) {
    case kReflectBase + WM_DRAWITEM:
        DrawItem(reinterpret_cast<const DRAWITEMSTRUCT *>(l));
        result = TRUE;
        return true;
    case WM_MOUSEMOVE:
        if (!m_bTracking) {
            TRACKMOUSEEVENT tme{};
            tme.cbSize = sizeof(tme);
            tme.dwFlags = TME_LEAVE | TME_HOVER;
            tme.hwndTrack = m_hWnd;
            tme.dwHoverTime = 1;
            m_bTracking = _TrackMouseEvent(&tme) ? 1 : 0;
        }
        return false;
    case WM_MOUSEHOVER:
        m_bHover = 1;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        m_bHover = 0;
        m_bTracking = 0;
        InvalidateRect(m_hWnd, nullptr, FALSE);
        result = 0;
        return true;
    default:
        return false;
    }
}
