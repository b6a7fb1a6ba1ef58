// palmet_demo_world_test.cpp - the demo store built by make_demo_world.exe,
// read through Palmet, and the disk check that RunChkdsk runs on it.
#include "config_override.h"
#include "demo_world.h"
#include "files.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::string BootBlock(const std::string &container) { return ReadText(container).substr(0, 512); }

class PalmetDemoWorld : public ::testing::Test {
protected:
    DWORD Make(const std::string &options) { return MakeDemoWorld(m_world.folder, options); }
    CScratchFolder m_folder;
    DemoWorld m_world{m_folder.Path()};
    std::string m_store = m_world.Store();
    std::string m_content = m_world.Content();
    std::string m_profile = m_world.Profile();
    CConfigOverride m_config{m_world.Config()};
};

TEST_F(PalmetDemoWorld, HoldsTheStoreProfileAndPlatforms)
{
    ASSERT_EQ(0u, Make(""));
    const std::string boot = BootBlock(m_store);
    ASSERT_EQ(512u, boot.size());
    EXPECT_EQ("SEFRAVPF", boot.substr(3, 8));
    EXPECT_EQ('\0', boot[0x41]);
    EXPECT_EQ("\x55\xAA", boot.substr(510, 2));

    const int ids[] = {255, 1, 2};
    const char *passwords[] = {"main", "work1", "play2"};
    for (DWORD record = 1; record <= 3; ++record) {
        int id = -1;
        char target[20] = {}, password[20] = {};
        ASSERT_EQ(0u, GetProfileParameter(record, m_profile.c_str(), "int,id;str,20,Target;str,20,Password;", &id,
                                          target, password));
        EXPECT_EQ(ids[record - 1], id);
        EXPECT_STREQ(passwords[record - 1], password);
        EXPECT_TRUE(FileExists(m_content + "\\" + target + "\\readme.txt")) << target;
    }
    int id = -1;
    char target[20];
    EXPECT_NE(0u, GetProfileParameter(4, m_profile.c_str(), "int,id;str,20,Target", &id, target));

    EXPECT_NE(0, GetPlatformServiceState());
    PALMET_TEXT_LIST files, names;
    PALMET_DWORD_LIST kinds, numbers;
    ASSERT_EQ(0u, InitVPFInfo(&files, 1, 0, &names, &kinds, &numbers, 3));
    ASSERT_EQ(3u, kinds.count);
    EXPECT_EQ(1u, kinds.value[0]);
    EXPECT_EQ(1u, kinds.value[1]);
    EXPECT_EQ(2u, kinds.value[2]);
    EXPECT_EQ(1u, numbers.value[0]);
    EXPECT_EQ(2u, numbers.value[1]);
    EXPECT_EQ(0, lstrcmpiA(m_store.c_str(), files.text[2]));

    // Platform 1 restricts C, D and E; the rules match the disks' identities.
    BYTE rules[100], devices[100];
    ASSERT_EQ(0u, GetTargetConfig(files.text[0], rules));
    ASSERT_EQ(0u, GetDriverInfo(devices, 7, 1));
    EXPECT_EQ(0x80, rules[0]);
    ASSERT_EQ(3, rules[1]);
    ASSERT_EQ(3, devices[1]);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(devices[5 + 6 * i] & 7, rules[5 + 6 * i]);
        EXPECT_EQ(0, memcmp(devices + 6 + 6 * i, rules + 6 + 6 * i, 4));
    }
}

TEST_F(PalmetDemoWorld, NoPasswordsOptionLeavesEveryPasswordEmpty)
{
    ASSERT_EQ(0u, Make("--no-passwords"));
    for (DWORD record = 1; record <= 3; ++record) {
        char password[20] = "stale";
        ASSERT_EQ(0u, GetProfileParameter(record, m_profile.c_str(), "str,20,Password", password));
        EXPECT_STREQ("", password);
    }
}

TEST_F(PalmetDemoWorld, CheckClearsTheDirtyFlagOfTheContainer)
{
    ASSERT_EQ(0u, Make("--dirty"));
    const std::string before = BootBlock(m_store);
    ASSERT_EQ('\x01', before[0x41]);

    DWORD mode = 3;
    // Without /f the check only reports.
    EXPECT_EQ(1u, RunChkdsk(m_store.c_str(), &mode, "/x", 0, 0));
    EXPECT_EQ('\x01', BootBlock(m_store)[0x41]);

    ASSERT_EQ(0u, RunChkdsk(m_store.c_str(), &mode, "/x /f", 0, 0));
    std::string after = BootBlock(m_store);
    EXPECT_EQ('\0', after[0x41]);
    after[0x41] = before[0x41];
    EXPECT_EQ(before, after); // nothing else changed
    EXPECT_EQ(65536u, ReadText(m_store).size());
    EXPECT_FALSE(FileExists(m_content + "\\FOUND.000"));

    // A clean volume checks clean again.
    EXPECT_EQ(0u, RunChkdsk(m_store.c_str(), &mode, "/x /f", 0, 0));
}

TEST_F(PalmetDemoWorld, CheckLeavesRecoveredEntriesWhenConfigured)
{
    ASSERT_EQ(0u, Make("--dirty --leftovers"));
    DWORD mode = 3;
    ASSERT_EQ(0u, RunChkdsk(m_store.c_str(), &mode, "/x /f", 0, 0));
    EXPECT_TRUE(FileExists(m_content + "\\FOUND.000\\FILE0000.CHK"));
    EXPECT_TRUE(FileExists(m_content + "\\FILE0000.CHK"));
    EXPECT_EQ('\0', BootBlock(m_store)[0x41]);
}

TEST_F(PalmetDemoWorld, CheckRunsOnTheRawVolumeOfAMountedContainer)
{
    ASSERT_EQ(0u, Make("--dirty --leftovers"));
    char drive[10] = {};
    DWORD handle = 0;
    ASSERT_EQ(0u, Dravel_MountDriverByFileName(m_store.c_str(), drive, &handle, 0));
    DWORD mode = 3;
    const DWORD result = RunChkdsk(drive, &mode, "/x /f", 0, 0);
    const bool leftFound = FileExists(std::string(drive) + "\\FOUND.000\\FILE0000.CHK");
    UnMount_Volume(static_cast<BYTE>(drive[0]), handle);
    EXPECT_EQ(0u, result);
    EXPECT_TRUE(leftFound);
    EXPECT_EQ('\0', BootBlock(m_store)[0x41]);
    EXPECT_TRUE(FileExists(m_content + "\\FILE0000.CHK"));
}

TEST_F(PalmetDemoWorld, CheckPassesFailuresAndRefusesBadArguments)
{
    DWORD mode = 3;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), RunChkdsk(m_store.c_str(), &mode, "/x /f", 0, 0));
    EXPECT_EQ(87u, RunChkdsk(nullptr, &mode, "/x /f", 0, 0));
    EXPECT_EQ(87u, RunChkdsk("", &mode, "/x /f", 0, 0));
    ASSERT_EQ(0u, Make("--dirty"));
    EXPECT_EQ(87u, RunChkdsk(m_store.c_str(), &mode, "/q", 0, 0)); // the check program's answer
    EXPECT_EQ('\x01', BootBlock(m_store)[0x41]);
}

} // namespace
