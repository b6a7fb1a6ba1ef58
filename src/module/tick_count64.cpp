// tick_count64.cpp - the import pointer of GetTickCount64 (see tick_count64.h).
#include "module/tick_count64.h"

ULONGLONG ExtendTickCount(std::atomic<ULONGLONG> &last, DWORD(WINAPI *tickCount)())
{
    ULONGLONG previous = last.load();
    for (;;) {
        // Counted after the last value was read: a smaller count than that
        // value's is a wrap, not another thread's earlier reading.
        const DWORD now = tickCount();
        ULONGLONG next = (previous & ~0xFFFFFFFFull) | now;
        if (now < static_cast<DWORD>(previous))
            next += 0x100000000ull;
        if (last.compare_exchange_weak(previous, next))
            return next;
    }
}

namespace {

using TickCount64Fn = ULONGLONG(WINAPI *)();

std::atomic<ULONGLONG> g_lastTickCount{0};

ULONGLONG WINAPI TickCount64FromTickCount() { return ExtendTickCount(g_lastTickCount, GetTickCount); }

ULONGLONG WINAPI FirstTickCount64();

} // namespace

// The name the thread library's calls read their target from; it starts at
// the look-up, which replaces it.
extern "C" TickCount64Fn g_pfnTickCount64 __asm__("__imp__GetTickCount64@0");
TickCount64Fn g_pfnTickCount64 = FirstTickCount64;

namespace {

ULONGLONG WINAPI FirstTickCount64()
{
    auto fn = reinterpret_cast<TickCount64Fn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
    if (!fn)
        fn = TickCount64FromTickCount;
    __atomic_store_n(&g_pfnTickCount64, fn, __ATOMIC_RELEASE);
    return fn();
}

} // namespace
