// clock.cpp - NowMs (see clock.h).
#include "clock.h"

#include <windows.h>

double NowMs()
{
    static const double s_perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / s_perMs;
}
