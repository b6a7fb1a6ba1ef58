// palmet_platform_test.cpp - the platform service, device and rule records,
// reset code and module paths of Palmet.dll, driven by a private platform
// configuration file.
#include "config_override.h"
#include "files.h"
#include "process.h"
#include "suite/Palmet.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>


namespace {

const char kConfig[] = "[Service]\r\nRunning=1\r\nResetCode=ABCDEFGHIJKLMNOPQR\r\nRequestLog=req.log\r\n"
                       "[Platforms]\r\nCount=4\r\n"
                       "[Platform1]\r\nNumber=1\r\nKind=1\r\nFile=D:\\vpf\\Work.vpf\r\nName=Work\r\n"
                       "Rules=3\r\nRule1=3,0,0x00007E00\r\nRule2=5, 0, 0x0A007E00\r\nRule3=0x01,7,4294967295\r\n"
                       "[Platform2]\r\nNumber=2\r\nKind=1\r\nFile=D:\\vpf\\Play.vpf\r\nName=\xD3\xE9\xC0\xD6\r\n"
                       "[Platform3]\r\nNumber=3\r\nKind=2\r\nFile=D:\\vpf\\Sefra.vpf\r\nName=Store\r\n"
                       "[Platform4]\r\nNumber=9\r\nKind=5\r\nFile=D:\\vpf\\Odd.vpf\r\nName=Odd\r\nRestricted=1\r\n"
                       "[Disks]\r\nCount=3\r\nDevice1=C,0,0x00007E00\r\nDevice2=d,0,0x0A007E00\r\n"
                       "Device3=25,7,0x12345678\r\n";

class PalmetPlatform : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteText(m_config, kConfig)); }
    CScratchFolder m_folder;
    std::string m_config = m_folder / "Platforms.ini";
    CConfigOverride m_override{m_config};
};

TEST_F(PalmetPlatform, ChannelIsARealHandleOnTheConfiguration)
{
    EXPECT_NE(0, GetPlatformServiceState());
    HANDLE channel = OpenPlatformChannel(QueryPlatformChannel());
    ASSERT_NE(INVALID_HANDLE_VALUE, channel);
    EXPECT_EQ(0u, PreparePlatformChannel(channel));
    EXPECT_EQ(0u, SendPlatformRequest(channel, 0x20, 0, 0, 0, "Work"));
    EXPECT_EQ(0u, SendPlatformRequest(channel, 0x21, 1, 2, 3, nullptr));
    EXPECT_TRUE(CloseHandle(channel));
    EXPECT_EQ("32 0 0 0 Work\r\n33 1 2 3 (null)\r\n", ReadText(m_folder / "req.log"));

    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenPlatformChannel(QueryPlatformChannel() + 1));
    EXPECT_NE(0u, PreparePlatformChannel(INVALID_HANDLE_VALUE));
    EXPECT_NE(0u, SendPlatformRequest(INVALID_HANDLE_VALUE, 1, 0, 0, 0, nullptr));

    ASSERT_TRUE(WriteText(m_config, "[Service]\r\nRunning=0\r\n"));
    EXPECT_EQ(0, GetPlatformServiceState());
}

TEST_F(PalmetPlatform, WithoutConfigurationThereIsNoServiceOrChannel)
{
    {
        CConfigOverride missing(m_folder / "absent.ini");
        EXPECT_EQ(0, GetPlatformServiceState());
        EXPECT_EQ(INVALID_HANDLE_VALUE, OpenPlatformChannel(QueryPlatformChannel()));
        PALMET_TEXT_LIST files, names;
        PALMET_DWORD_LIST kinds, numbers;
        EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), InitVPFInfo(&files, 1, 0, &names, &kinds, &numbers, 3));
        EXPECT_EQ(0u, files.count);
        EXPECT_EQ(0u, kinds.count);
        BYTE info[100];
        EXPECT_NE(0u, GetDriverInfo(info, 7, 1));
        char code[19];
        ASSERT_EQ(0u, GetResetCode(code, sizeof code));
        EXPECT_EQ(18u, strlen(code));
        EXPECT_STRNE("ABCDEFGHIJKLMNOPQR", code);
    }
    // The configuration is looked up on every call: the fixture's one is back.
    EXPECT_NE(0, GetPlatformServiceState());
}

TEST_F(PalmetPlatform, InitVPFInfoFillsTheFourListsInParallel)
{
    PALMET_TEXT_LIST files, names;
    PALMET_DWORD_LIST kinds, numbers;
    ASSERT_EQ(0u, InitVPFInfo(&files, 1, 0, &names, &kinds, &numbers, 3));
    ASSERT_EQ(4u, files.count);
    EXPECT_EQ(4u, names.count);
    EXPECT_EQ(4u, kinds.count);
    EXPECT_EQ(4u, numbers.count);
    const DWORD expectKinds[] = {1, 1, 2, 5};
    const DWORD expectNumbers[] = {1, 2, 3, 9};
    const char *expectFiles[] = {"D:\\vpf\\Work.vpf", "D:\\vpf\\Play.vpf", "D:\\vpf\\Sefra.vpf", "D:\\vpf\\Odd.vpf"};
    const char *expectNames[] = {"Work", "\xD3\xE9\xC0\xD6", "Store", "Odd"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(expectKinds[i], kinds.value[i]);
        EXPECT_EQ(expectNumbers[i], numbers.value[i]);
        EXPECT_STREQ(expectFiles[i], files.text[i]);
        EXPECT_STREQ(expectNames[i], names.text[i]);
    }
    EXPECT_EQ(87u, InitVPFInfo(nullptr, 1, 0, &names, &kinds, &numbers, 3));
    EXPECT_EQ(87u, InitVPFInfo(&files, 1, 0, &names, nullptr, &numbers, 3));

    // A service told to fail answers its code and lists nothing.
    WritePrivateProfileStringA("Service", "InitVPFInfo", "1722", m_config.c_str());
    EXPECT_EQ(1722u, InitVPFInfo(&files, 1, 0, &names, &kinds, &numbers, 3));
    EXPECT_EQ(0u, files.count);
    EXPECT_EQ(0u, numbers.count);
}

TEST_F(PalmetPlatform, InitVPFInfoStopsAtTheListCapacity)
{
    std::string config = "[Platforms]\r\nCount=20\r\n";
    for (int i = 1; i <= 20; ++i)
        config += "[Platform" + std::to_string(i) + "]\r\nNumber=" + std::to_string(i) + "\r\nKind=1\r\nFile=P" +
                  std::to_string(i) + ".vpf\r\n" + (i == 1 ? "Name=" + std::string(300, 'N') + "\r\n" : "");
    // (The first display name is longer than a list entry: it is cut to fit.)
    ASSERT_TRUE(WriteText(m_config, config));
    PALMET_TEXT_LIST files, names;
    PALMET_DWORD_LIST kinds, numbers;
    ASSERT_EQ(0u, InitVPFInfo(&files, 1, 0, &names, &kinds, &numbers, 3));
    ASSERT_EQ(static_cast<DWORD>(PALMET_MAX_PLATFORMS), files.count);
    EXPECT_EQ(16u, numbers.value[15]);
    EXPECT_STREQ("P16.vpf", files.text[15]);
    EXPECT_STREQ("", names.text[15]);
    EXPECT_EQ(std::string(MAX_PATH - 1, 'N'), names.text[0]);
    EXPECT_STREQ("P2.vpf", files.text[1]);
}

TEST_F(PalmetPlatform, DriverInfoBytesLieAtTheirOffsets)
{
    BYTE info[100];
    memset(info, 0xCC, sizeof info);
    ASSERT_EQ(0u, GetDriverInfo(info, 7, 1));
    BYTE expect[100] = {};
    expect[0] = 1;
    expect[1] = 3;
    const BYTE entries[] = {
        2 << 3 | 0,  0x00, 0x7E, 0x00, 0x00, 0, // C: disk 0
        3 << 3 | 0,  0x00, 0x7E, 0x00, 0x0A, 0, // D: disk 0
        25 << 3 | 7, 0x78, 0x56, 0x34, 0x12, 0, // Z: disk 7
    };
    memcpy(expect + 5, entries, sizeof entries);
    EXPECT_EQ(0, memcmp(expect, info, sizeof info));
    EXPECT_EQ(87u, GetDriverInfo(nullptr, 7, 1));
}

TEST_F(PalmetPlatform, DriverInfoHoldsAtMostFifteenDevices)
{
    std::string config = "[Disks]\r\nCount=20\r\n";
    for (int i = 1; i <= 20; ++i)
        config += "Device" + std::to_string(i) + "=" + std::to_string(i) + ",1," + std::to_string(1000 + i) + "\r\n";
    ASSERT_TRUE(WriteText(m_config, config));
    BYTE info[100];
    ASSERT_EQ(0u, GetDriverInfo(info, 7, 1));
    EXPECT_EQ(15, info[1]);
    EXPECT_EQ(15 << 3 | 1, info[5 + 6 * 14]);
    EXPECT_EQ(1015 & 0xFF, info[6 + 6 * 14]);
    for (int i = 5 + 6 * 15; i < 100; ++i)
        EXPECT_EQ(0, info[i]) << i;

    ASSERT_TRUE(WriteText(m_config, "[Disks]\r\nCount=1\r\nDevice1=C,9,1\r\n")); // disk number above 7
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_CONFIGURATION), GetDriverInfo(info, 7, 1));
}

TEST_F(PalmetPlatform, TargetConfigBytesLieAtTheirOffsets)
{
    BYTE rules[100];
    memset(rules, 0xCC, sizeof rules);
    ASSERT_EQ(0u, GetTargetConfig("D:\\vpf\\Work.vpf", rules));
    BYTE expect[100] = {};
    expect[0] = 0x80;
    expect[1] = 3;
    const BYTE entries[] = {
        3, 0, 0x00, 0x7E, 0x00, 0x00, //
        5, 0, 0x00, 0x7E, 0x00, 0x0A, //
        1, 7, 0xFF, 0xFF, 0xFF, 0xFF, //
    };
    memcpy(expect + 4, entries, sizeof entries);
    EXPECT_EQ(0, memcmp(expect, rules, sizeof rules));

    // The platform is found by its file name alone, in any letter case.
    BYTE again[100];
    ASSERT_EQ(0u, GetTargetConfig("work.VPF", again));
    EXPECT_EQ(0, memcmp(expect, again, sizeof again));

    // No rules: bit 7 clear; "Restricted" forces it without rules.
    ASSERT_EQ(0u, GetTargetConfig("D:\\vpf\\Play.vpf", rules));
    for (BYTE b : rules)
        EXPECT_EQ(0, b);
    ASSERT_EQ(0u, GetTargetConfig("D:\\vpf\\Odd.vpf", rules));
    EXPECT_EQ(0x80, rules[0]);
    EXPECT_EQ(0, rules[1]);

    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_FOUND), GetTargetConfig("D:\\vpf\\Unknown.vpf", rules));
    EXPECT_EQ(87u, GetTargetConfig(nullptr, rules));
    EXPECT_EQ(87u, GetTargetConfig("D:\\vpf\\Work.vpf", nullptr));
}

TEST_F(PalmetPlatform, TargetConfigHoldsAtMostSixteenRules)
{
    std::string config = "[Platforms]\r\nCount=1\r\n[Platform1]\r\nFile=Many.vpf\r\nRules=18\r\n";
    for (int j = 1; j <= 18; ++j)
        config += "Rule" + std::to_string(j) + "=7,2," + std::to_string(j) + "\r\n";
    ASSERT_TRUE(WriteText(m_config, config));
    BYTE rules[100];
    ASSERT_EQ(0u, GetTargetConfig("Many.vpf", rules));
    EXPECT_EQ(0x80, rules[0]);
    EXPECT_EQ(16, rules[1]);
    EXPECT_EQ(7, rules[4 + 6 * 15]);
    EXPECT_EQ(2, rules[5 + 6 * 15]);
    EXPECT_EQ(16, rules[6 + 6 * 15]);
}

TEST_F(PalmetPlatform, ResetCodeFitsTheCallersBuffer)
{
    char code[19];
    memset(code, '#', sizeof code);
    ASSERT_EQ(0u, GetResetCode(code, sizeof code));
    EXPECT_STREQ("ABCDEFGHIJKLMNOPQR", code);

    char small[6];
    memset(small, '#', sizeof small);
    EXPECT_EQ(111u, GetResetCode(small, 5));
    EXPECT_STREQ("ABCD", small);
    EXPECT_EQ('#', small[5]);
    EXPECT_EQ(87u, GetResetCode(nullptr, 19));
    EXPECT_EQ(87u, GetResetCode(code, 0));

    ASSERT_TRUE(WriteText(m_config, "[Service]\r\nRunning=1\r\n"));
    ASSERT_EQ(0u, GetResetCode(code, sizeof code));
    EXPECT_EQ(18u, strlen(code));
}

TEST(PalmetModulePath, NamesAFileBesideTheModule)
{
    const HMODULE palmet = GetModuleHandleA("Palmet.dll");
    ASSERT_NE(nullptr, palmet);
    char dll[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(palmet, dll, sizeof dll));
    std::string expect = dll;
    expect.erase(expect.find_last_of('\\') + 1);
    expect += "SefraboxBack.bmp";

    char out[MAX_PATH];
    ASSERT_EQ(0u, GetModuleFilePath(out, "SefraboxBack.bmp", palmet));
    EXPECT_EQ(expect, out);
    ASSERT_EQ(0u, GetModuleFilePath(out, "x.txt", nullptr));
    EXPECT_EQ(BinDir() + "x.txt", out);

    EXPECT_EQ(111u, GetModuleFilePath(out, std::string(MAX_PATH - 2, 'n').c_str(), palmet));
    EXPECT_STREQ("", out);
    EXPECT_EQ(87u, GetModuleFilePath(nullptr, "x.txt", palmet));
    EXPECT_EQ(87u, GetModuleFilePath(out, nullptr, palmet));
    char small[16];
    // The output buffer must be writable for MAX_PATH bytes.
    char *page = static_cast<char *>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(87u, GetModuleFilePath(page + 4096 - sizeof small, "x.txt", palmet));
    VirtualFree(page, 0, MEM_RELEASE);
}

} // namespace
