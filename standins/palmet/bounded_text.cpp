// bounded_text.cpp - copying texts into fixed buffers, multibyte-aware.
#include "bounded_text.h"

#include <windows.h>

#include <cstring>

namespace palmet {

size_t CopyTextCut(char *dst, size_t cb, const char *src, size_t srcLength)
{
    if (!dst || cb == 0)
        return 0;
    size_t n = 0;
    while (src && n < srcLength) {
        const size_t step = (IsDBCSLeadByte(static_cast<BYTE>(src[n])) && n + 1 < srcLength) ? 2 : 1;
        if (n + step > cb - 1)
            break;
        n += step;
    }
    if (n)
        memcpy(dst, src, n);
    dst[n] = '\0';
    return n;
}

} // namespace palmet
