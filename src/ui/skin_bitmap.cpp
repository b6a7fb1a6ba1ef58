// skin_bitmap.cpp - CSkinBitmap::LoadFromFile over OleLoadPicture.
#include "ui/skin_bitmap.h"

#include "win/com_ptr.h"
#include "win/handles.h"

#include <olectl.h>

#include <vector>

namespace {

bool ReadWholeFile(const char *path, std::vector<BYTE> &bytes)
{
    CFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE || size == 0)
        return false;
    bytes.resize(size);
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data(), size, &got, nullptr) || got == 0)
        return false;
    bytes.resize(got);
    return true;
}

CComPtr<IPicture> DecodePicture(const std::vector<BYTE> &bytes)
{
    CComPtr<IPicture> picture;
    // Owned here until the stream takes it over.
    CGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!block.Get())
        return picture;
    void *p = GlobalLock(block.Get());
    if (!p)
        return picture;
    memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block.Get());
    CComPtr<IStream> stream;
    // The stream frees the block when released.
    if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, stream.Receive())))
        return picture;
    block.Detach();
    OleLoadPicture(stream.Get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture, picture.ReceiveVoid());
    return picture;
}

} // namespace

BOOL CSkinBitmap::LoadFromFile(const char *path, COLORREF background)
{
    if (Get() || !path)
        return FALSE;
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(path, bytes))
        return FALSE;
    CComPtr<IPicture> picture = DecodePicture(bytes);
    if (!picture)
        return FALSE;

    const HWND desktop = GetDesktopWindow();
    CClientDC screen(desktop);
    if (!screen.Get())
        return FALSE;
    CMemoryDC mem(screen.Get());
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    picture->get_Width(&hmWidth);
    picture->get_Height(&hmHeight);
    const int cx = MulDiv(hmWidth, GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
    const int cy = MulDiv(hmHeight, GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
    if (!mem.Get() || cx <= 0 || cy <= 0)
        return FALSE;
    CBitmapObject bitmap(CreateCompatibleBitmap(screen.Get(), cx, cy));
    if (!bitmap)
        return FALSE;
    HRESULT hr;
    {
        CSelectObject select(mem.Get(), bitmap.Get());
        if (background != CLR_INVALID) {
            CBrushObject brush(CreateSolidBrush(background));
            RECT rc{0, 0, cx, cy};
            FillRect(mem.Get(), &rc, brush.Get());
        }
        // Picture coordinates run upwards: the source starts at the top edge.
        hr = picture->Render(mem.Get(), 0, 0, cx, cy, 0, hmHeight, hmWidth, -hmHeight, nullptr);
    }
    if (FAILED(hr))
        return FALSE;
    Reset(bitmap.Detach());
    return TRUE;
}
