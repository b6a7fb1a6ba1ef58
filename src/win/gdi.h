// gdi.h - small owners for GDI objects and device contexts.
//
// Classes: CGdiObject<T> (owns an HBITMAP, HBRUSH, HRGN...), CGdiView<T>
// (names one that something else owns), CMemoryDC (a compatible memory DC),
// CClientDC (GetDC/ReleaseDC pair that remembers its window), CSelectObject
// (undoes a SelectObject), CPaintScope (BeginPaint / EndPaint); DrawBitmap
// and DrawBackground copy a bitmap onto a DC.
#pragma once

#include <windows.h>

// Owner of one GDI object, deleted with DeleteObject.
template <typename T> class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(T h) : m_h(h) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(CGdiObject &&o) noexcept : m_h(o.Detach()) {}
    CGdiObject &operator=(CGdiObject &&o) noexcept
    {
        if (this != &o)
            Reset(o.Detach());
        return *this;
    }
    CGdiObject(const CGdiObject &) = delete;
    CGdiObject &operator=(const CGdiObject &) = delete;

    T Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }
    void Reset(T h = nullptr)
    {
        if (m_h)
            DeleteObject(m_h);
        m_h = h;
    }
    T Detach()
    {
        T h = m_h;
        m_h = nullptr;
        return h;
    }

private:
    T m_h = nullptr;
};

// A GDI object that this object does not own: a stock object, or one that
// an owner elsewhere (or a window) deletes. Never deleted here.
template <typename T> class CGdiView {
public:
    CGdiView() = default;
    explicit CGdiView(T h) : m_h(h) {}
    T Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    T m_h = nullptr;
};

using CBitmapObject = CGdiObject<HBITMAP>;
using CBrushObject = CGdiObject<HBRUSH>;
using CRgnObject = CGdiObject<HRGN>;
using CBitmapView = CGdiView<HBITMAP>;
using CBrushView = CGdiView<HBRUSH>;
using CRgnView = CGdiView<HRGN>;

class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible) : m_h(CreateCompatibleDC(compatible)) {}
    ~CMemoryDC()
    {
        if (m_h)
            DeleteDC(m_h);
    }
    CMemoryDC(const CMemoryDC &) = delete;
    CMemoryDC &operator=(const CMemoryDC &) = delete;
    HDC Get() const { return m_h; }

private:
    HDC m_h;
};

// GetDC of a window (null: the screen); released with the same window.
class CClientDC {
public:
    explicit CClientDC(HWND hwnd) : m_hwnd(hwnd), m_h(GetDC(hwnd)) {}
    ~CClientDC()
    {
        if (m_h)
            ReleaseDC(m_hwnd, m_h);
    }
    CClientDC(const CClientDC &) = delete;
    CClientDC &operator=(const CClientDC &) = delete;
    HDC Get() const { return m_h; }

private:
    HWND m_hwnd;
    HDC m_h;
};

// Selects an object into a DC and puts the previous one back.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(SelectObject(dc, obj)) {}
    ~CSelectObject()
    {
        if (m_old && m_old != HGDI_ERROR)
            SelectObject(m_dc, m_old);
    }
    CSelectObject(const CSelectObject &) = delete;
    CSelectObject &operator=(const CSelectObject &) = delete;
    // False when the object could not be selected.
    bool Ok() const { return m_old != nullptr && m_old != HGDI_ERROR; }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Copies bitmap to dc at (0, 0), cx by cy pixels, through a memory DC of
// its own. False when nothing could be drawn.
inline bool DrawBitmap(HDC dc, HBITMAP bitmap, int cx, int cy)
{
    CMemoryDC mem(dc);
    if (!bitmap || !mem.Get())
        return false;
    CSelectObject select(mem.Get(), bitmap);
    return select.Ok() && BitBlt(dc, 0, 0, cx, cy, mem.Get(), 0, 0, SRCCOPY);
}

// A dialog's background: the bitmap over as much as the device shows.
inline bool DrawBackground(HDC dc, HBITMAP bitmap)
{
    return DrawBitmap(dc, bitmap, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
}

class CPaintScope {
public:
    explicit CPaintScope(HWND hwnd) : m_hwnd(hwnd) { m_dc = BeginPaint(hwnd, &m_ps); }
    ~CPaintScope() { EndPaint(m_hwnd, &m_ps); }
    CPaintScope(const CPaintScope &) = delete;
    CPaintScope &operator=(const CPaintScope &) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};
