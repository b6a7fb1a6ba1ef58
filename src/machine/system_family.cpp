// system_family.cpp - g_bXpFamily and the rule that decides it.
#include "machine/system_family.h"

int g_bXpFamily = 0;

int IsXpFamilyVersion(const OSVERSIONINFOA &info)
{
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5 &&
                   (info.dwMinorVersion == 1 || info.dwMinorVersion == 2)
               ? 1
               : 0;
}

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version record");
static_assert(sizeof(OSVERSIONINFOA) == 148, "basic version record");

int DetectXpFamily(VersionQuery query)
{
    // The extended record first; some systems accept only the basic one.
    OSVERSIONINFOEXA ex{};
    ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (query(reinterpret_cast<OSVERSIONINFOA *>(&ex)))
        return IsXpFamilyVersion(*reinterpret_cast<OSVERSIONINFOA *>(&ex));
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (query(&basic))
        return IsXpFamilyVersion(basic);
    return 0;
}
