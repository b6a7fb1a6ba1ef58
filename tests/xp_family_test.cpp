// xp_family_test.cpp - g_bXpFamily: the rule on version records, including
// the retry with the basic record, and the DLL's own value in a process to
// which Wine reports a chosen Windows version.
#include "module/app.h"
#include "process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct FakeSystem {
    DWORD platform, major, minor;
    bool acceptsExtended;
    bool acceptsBasic;
    int asked;
};
FakeSystem g_fake;

BOOL WINAPI FakeVersionQuery(OSVERSIONINFOA *info)
{
    ++g_fake.asked;
    const bool extended = info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA);
    const bool basic = info->dwOSVersionInfoSize == sizeof(OSVERSIONINFOA);
    if (!(extended && g_fake.acceptsExtended) && !(basic && g_fake.acceptsBasic))
        return FALSE;
    info->dwPlatformId = g_fake.platform;
    info->dwMajorVersion = g_fake.major;
    info->dwMinorVersion = g_fake.minor;
    return TRUE;
}

int Detect(DWORD platform, DWORD major, DWORD minor, bool extended = true, bool basic = true)
{
    g_fake = FakeSystem{platform, major, minor, extended, basic, 0};
    return DetectXpFamily(FakeVersionQuery);
}

} // namespace

TEST(XpFamily, OnlyNt51And52)
{
    EXPECT_EQ(1, Detect(VER_PLATFORM_WIN32_NT, 5, 1));
    EXPECT_EQ(1, Detect(VER_PLATFORM_WIN32_NT, 5, 2));
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_NT, 5, 0));
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_NT, 5, 3));
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_NT, 6, 1));
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_NT, 6, 2));
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_NT, 10, 0));
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_WINDOWS, 5, 1));
}

TEST(XpFamily, BasicRecordWhenTheExtendedOneIsRefused)
{
    EXPECT_EQ(1, Detect(VER_PLATFORM_WIN32_NT, 5, 1, false, true));
    EXPECT_EQ(2, g_fake.asked);
    EXPECT_EQ(1, Detect(VER_PLATFORM_WIN32_NT, 5, 2, false, true));
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_NT, 5, 0, false, true));
    // Both refused: 0.
    EXPECT_EQ(0, Detect(VER_PLATFORM_WIN32_NT, 5, 1, false, false));
    EXPECT_EQ(2, g_fake.asked);
    // The extended record accepted: no second question.
    EXPECT_EQ(1, Detect(VER_PLATFORM_WIN32_NT, 5, 1, true, false));
    EXPECT_EQ(1, g_fake.asked);
}

namespace {

// Wine's per-program Windows version, for the probe only; removed after.
class CProbeVersion {
public:
    explicit CProbeVersion(const char *version)
    {
        CRegKey key;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                                 key.Receive(), nullptr));
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key.Get(), "Version", 0, REG_SZ,
                                                reinterpret_cast<const BYTE *>(version), lstrlenA(version) + 1));
    }
    ~CProbeVersion() { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

private:
    static constexpr const char *kKey = "Software\\Wine\\AppDefaults\\xpflag_probe.exe";
};

struct ProbeResult {
    int flag = -1;
    unsigned long major = 0, minor = 0, platform = 0;
};

ProbeResult RunProbe(const char *version)
{
    CProbeVersion setting(version);
    std::string printed;
    EXPECT_EQ(0u, RunProgram(BinProgram("xpflag_probe.exe"), std::string(), &printed)) << version;
    ProbeResult result;
    EXPECT_EQ(4, std::sscanf(printed.c_str(), "flag %d version %lu.%lu platform %lu", &result.flag, &result.major,
                             &result.minor, &result.platform))
        << printed;
    return result;
}

} // namespace

TEST(XpFamily, DllFlagUnderReportedVersions)
{
    struct Case {
        const char *wine;
        unsigned long major, minor;
        int flag;
    } const cases[] = {
        {"winxp", 5, 1, 1},
        {"win2003", 5, 2, 1},
        {"win2k", 5, 0, 0},
        {"win7", 6, 1, 0},
    };
    for (const Case &c : cases) {
        const ProbeResult r = RunProbe(c.wine);
        EXPECT_EQ(c.major, r.major) << c.wine;
        EXPECT_EQ(c.minor, r.minor) << c.wine;
        EXPECT_EQ(static_cast<unsigned long>(VER_PLATFORM_WIN32_NT), r.platform) << c.wine;
        EXPECT_EQ(c.flag, r.flag) << c.wine;
    }
    // Windows 10 reports itself as 6.2 to a program without a compatibility
    // manifest; either way the flag is 0.
    const ProbeResult win10 = RunProbe("win10");
    EXPECT_GE(win10.major, 6u);
    EXPECT_EQ(0, win10.flag);
}
