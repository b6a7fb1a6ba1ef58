// clock.cpp - NowMs and PollUntil (see clock.h).
#include "clock.h"

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

bool PollUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD pollMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(pollMs);
    }
    return true;
}
