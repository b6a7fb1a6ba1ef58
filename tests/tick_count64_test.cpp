// tick_count64_test.cpp - the 64-bit tick count that the library counts from
// GetTickCount where the system has no GetTickCount64 (Windows XP).
#include "module/tick_count64.h"

#include <gtest/gtest.h>

namespace {

DWORD g_count = 0;
DWORD WINAPI SetCount() { return g_count; }

// Another thread's call that overtakes this one: it reads 101 and stores it
// while this one holds its reading of 100.
std::atomic<ULONGLONG> g_last{90};
int g_readings = 0;
DWORD WINAPI OvertakenCount()
{
    if (g_readings++ == 0) {
        EXPECT_EQ(101u, ExtendTickCount(g_last, OvertakenCount));
        return 100;
    }
    return 101;
}

} // namespace

TEST(TickCount64, CountsOnAcrossTheWrapOfTheThirtyTwoBitCount)
{
    std::atomic<ULONGLONG> last{0};
    g_count = 0xFFFFFFF0u;
    EXPECT_EQ(0xFFFFFFF0ull, ExtendTickCount(last, SetCount));
    g_count = 0x10;
    EXPECT_EQ(0x100000010ull, ExtendTickCount(last, SetCount));
    g_count = 0x20;
    EXPECT_EQ(0x100000020ull, ExtendTickCount(last, SetCount));
}

TEST(TickCount64, AnOvertakingCallIsNoWrap)
{
    EXPECT_EQ(101u, ExtendTickCount(g_last, OvertakenCount));
    EXPECT_EQ(101u, g_last.load());
}
