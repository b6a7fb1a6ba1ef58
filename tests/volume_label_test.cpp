// volume_label_test.cpp - SetDriveLabel on the real registry of the prefix.
#include "shown_drives.h"
#include "product_texts.h"
#include "volume/drive_label.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DriveLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char letter : {'Q', 'R'}) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, DriveIconsKey(letter, "DefaultIcon").c_str());
            SetDriveLabel(letter, nullptr, DriveLabelMode::Remove);
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, DriveIconsKey(letter).c_str());
        }
    }
    void TearDown() override { SetUp(); }
};

TEST_F(DriveLabelTest, SetCreatesMissingKeysAndOverwrites)
{
    ASSERT_FALSE(MachineKeyExists(DriveIconsKey('Q')));
    EXPECT_EQ(0u, SetDriveLabel('Q', kProductName, DriveLabelMode::Write));
    EXPECT_EQ(std::string(kProductName, sizeof kProductName), MachineKeyText(DriveIconsKey('Q', "DefaultLabel")));
    EXPECT_EQ(0u, SetDriveLabel('Q', "Docs", DriveLabelMode::Write));
    EXPECT_EQ(std::string("Docs", 5), MachineKeyText(DriveIconsKey('Q', "DefaultLabel")));
    // Only the low byte names the letter.
    EXPECT_EQ(0u, SetDriveLabel(0x1200 | 'R', "Other", DriveLabelMode::Write));
    EXPECT_EQ(std::string("Other", 6), MachineKeyText(DriveIconsKey('R', "DefaultLabel")));
}

TEST_F(DriveLabelTest, NullLabelIsRefusedAndTouchesNothing)
{
    EXPECT_EQ(87u, SetDriveLabel('Q', nullptr, DriveLabelMode::Write));
    EXPECT_EQ(87u, SetDriveLabel('Q', reinterpret_cast<const char *>(8), DriveLabelMode::Write));
    EXPECT_FALSE(MachineKeyExists(DriveIconsKey('Q')));
}

TEST_F(DriveLabelTest, RemoveTakesTheLabelAndLeavesTheLettersOtherSettings)
{
    ASSERT_EQ(0u, SetDriveLabel('Q', "Sefra", DriveLabelMode::Write));
    ASSERT_EQ(0u, SetDriveLabel('R', "Keep", DriveLabelMode::Write));
    // The user's own icon for Q.
    CRegKey icon;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, DriveIconsKey('Q', "DefaultIcon").c_str(), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, icon.Receive(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(icon.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>("x.ico"), 6));
    icon.Reset();

    EXPECT_EQ(0u, SetDriveLabel('Q', nullptr, DriveLabelMode::Remove));
    EXPECT_FALSE(MachineKeyExists(DriveIconsKey('Q', "DefaultLabel")));
    EXPECT_EQ(std::string("x.ico", 6), MachineKeyText(DriveIconsKey('Q', "DefaultIcon")));
    EXPECT_EQ(std::string("Keep", 5), MachineKeyText(DriveIconsKey('R', "DefaultLabel")));
    // With nothing else in it, the letter's key goes as well.
    EXPECT_EQ(0u, SetDriveLabel('R', nullptr, DriveLabelMode::Remove));
    EXPECT_FALSE(MachineKeyExists(DriveIconsKey('R')));
    EXPECT_TRUE(MachineKeyExists(kDriveIconsKey));

    // No label to remove: the open error, nothing changed.
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), SetDriveLabel('R', nullptr, DriveLabelMode::Remove));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), SetDriveLabel('Q', nullptr, DriveLabelMode::Remove));
    EXPECT_EQ(std::string("x.ico", 6), MachineKeyText(DriveIconsKey('Q', "DefaultIcon")));
}

TEST_F(DriveLabelTest, ALetterThatIsNoLetterIsRefusedAndEveryLabelStays)
{
    CRegKey icons;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriveIconsKey, 0, KEY_SET_VALUE, icons.Receive()) == ERROR_SUCCESS)
        RegDeleteValueA(icons.Get(), nullptr); // what an earlier build may have left
    ASSERT_EQ(0u, SetDriveLabel('R', "Keep", DriveLabelMode::Write));
    for (const int bad : {0, int('1'), int('\\'), 0xB1, 0x1200}) {
        EXPECT_EQ(87u, SetDriveLabel(bad, nullptr, DriveLabelMode::Remove)) << bad;
        EXPECT_EQ(87u, SetDriveLabel(bad, "Sefra", DriveLabelMode::Write)) << bad;
    }
    EXPECT_EQ(std::string("Keep", 5), MachineKeyText(DriveIconsKey('R', "DefaultLabel")));
    EXPECT_FALSE(MachineKeyText(kDriveIconsKey)) << "a label was written on DriveIcons itself";
}

} // namespace
