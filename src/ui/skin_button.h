// skin_button.h - CSkinButton, an owner-drawn push button that shows one of
// six bitmaps by its state and a hover bitmap while the mouse rests on it.
#pragma once

#include "win/gdi.h"
#include "win/subclass.h"

class CSkinButton : public CSubclassWnd {
public:
    CSkinButton() = default;

    // Bitmap resource ids of Sefrabox.dll; 0 means none (the normal bitmap
    // is drawn in that state). Replaces the bitmaps held so far; an id that
    // does not load leaves its state empty.
    void SetBitmaps(UINT idNormal, UINT idHover, UINT idFocus, UINT idPressed, UINT idDisabled, UINT idDefault);
    // DrawText format of the caption and whether the caption is drawn.
    void SetTextFormat(UINT format, BOOL drawText);

    // The bitmap drawn for an owner-draw item state (ODS_*), given the
    // current hover flag; null when even the normal bitmap is missing.
    HBITMAP ChooseBitmap(UINT itemState) const;
    // Draws the button as the owner-draw record describes.
    void DrawItem(const DRAWITEMSTRUCT *dis);

    int IsHover() const { return m_bHover; }
    int IsTracking() const { return m_bTracking; }

protected:
    void PreSubclassWindow() override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, LRESULT &result) override;

private:
    int m_bHover = 0;
    int m_bTracking = 0;
    CBitmapObject m_bmpNormal;
    CBitmapObject m_bmpDisabled;
    CBitmapObject m_bmpDefault;
    CBitmapObject m_bmpHover;
    CBitmapObject m_bmpPressed;
    CBitmapObject m_bmpFocus;
    UINT m_nTextFormat = 0;
    int m_bDrawText = 0;
};
