// screenshot.cpp - SaveScreenBitmap (see screenshot.h).
#include "screenshot.h"

#include "win/gdi.h"
#include "win/handles.h"

#include <windows.h>

#include <vector>

bool SaveScreenBitmap(const std::string &path)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    CClientDC screen(nullptr);
    if (!screen.Get() || width <= 0 || height <= 0)
        return false;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);

    void *bits = nullptr;
    CGdiObject<HBITMAP> picture(
        CreateDIBSection(screen.Get(), reinterpret_cast<BITMAPINFO *>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    CMemoryDC memory(screen.Get());
    if (!picture || !bits || !memory.Get())
        return false;
    {
        CSelectObject select(memory.Get(), picture.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY))
            return false;
    }
    GdiFlush();

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    CFileHandle out(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out)
        return false;
    DWORD written = 0;
    return WriteFile(out.Get(), &file, sizeof file, &written, nullptr) && written == sizeof file &&
           WriteFile(out.Get(), &header, sizeof header, &written, nullptr) && written == sizeof header &&
           WriteFile(out.Get(), bits, header.biSizeImage, &written, nullptr) && written == header.biSizeImage;
}
