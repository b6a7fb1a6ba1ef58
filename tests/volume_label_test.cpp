// volume_label_test.cpp - SetDriveLabel on the real registry of the prefix.
#include "volume/drive_label.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kIcons[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons";

std::string KeyOf(char letter, const char *below = nullptr)
{
    std::string k = std::string(kIcons) + "\\" + letter;
    if (below)
        k += std::string("\\") + below;
    return k;
}

bool KeyExists(const std::string &path)
{
    CRegKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

// The default value's bytes, terminator included; empty when absent.
std::string DefaultValue(const std::string &path)
{
    CRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return {};
    char buf[256];
    DWORD cb = sizeof(buf), type = 0;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE *>(buf), &cb) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return std::string(buf, cb);
}

class DriveLabelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char letter : {'Q', 'R'}) {
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, KeyOf(letter, "DefaultIcon").c_str());
            SetDriveLabel(letter, nullptr, DriveLabelMode::Remove);
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, KeyOf(letter).c_str());
        }
    }
    void TearDown() override { SetUp(); }
};

TEST_F(DriveLabelTest, SetCreatesMissingKeysAndOverwrites)
{
    ASSERT_FALSE(KeyExists(KeyOf('Q')));
    // 保险箱
    EXPECT_EQ(0u, SetDriveLabel('Q', "\xB1\xA3\xCF\xD5\xCF\xE4", DriveLabelMode::Write));
    EXPECT_EQ(std::string("\xB1\xA3\xCF\xD5\xCF\xE4", 7), DefaultValue(KeyOf('Q', "DefaultLabel")));
    EXPECT_EQ(0u, SetDriveLabel('Q', "Docs", DriveLabelMode::Write));
    EXPECT_EQ(std::string("Docs", 5), DefaultValue(KeyOf('Q', "DefaultLabel")));
    // Only the low byte names the letter.
    EXPECT_EQ(0u, SetDriveLabel(0x1200 | 'R', "Other", DriveLabelMode::Write));
    EXPECT_EQ(std::string("Other", 6), DefaultValue(KeyOf('R', "DefaultLabel")));
}

TEST_F(DriveLabelTest, NullLabelIsRefusedAndTouchesNothing)
{
    EXPECT_EQ(87u, SetDriveLabel('Q', nullptr, DriveLabelMode::Write));
    EXPECT_EQ(87u, SetDriveLabel('Q', reinterpret_cast<const char *>(8), DriveLabelMode::Write));
    EXPECT_FALSE(KeyExists(KeyOf('Q')));
}

TEST_F(DriveLabelTest, RemoveTakesTheLabelAndLeavesTheLettersOtherSettings)
{
    ASSERT_EQ(0u, SetDriveLabel('Q', "Sefra", DriveLabelMode::Write));
    ASSERT_EQ(0u, SetDriveLabel('R', "Keep", DriveLabelMode::Write));
    // The user's own icon for Q.
    CRegKey icon;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyOf('Q', "DefaultIcon").c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, icon.Receive(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(icon.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>("x.ico"), 6));
    icon.Reset();

    EXPECT_EQ(0u, SetDriveLabel('Q', nullptr, DriveLabelMode::Remove));
    EXPECT_FALSE(KeyExists(KeyOf('Q', "DefaultLabel")));
    EXPECT_EQ(std::string("x.ico", 6), DefaultValue(KeyOf('Q', "DefaultIcon")));
    EXPECT_EQ(std::string("Keep", 5), DefaultValue(KeyOf('R', "DefaultLabel")));
    // With nothing else in it, the letter's key goes as well.
    EXPECT_EQ(0u, SetDriveLabel('R', nullptr, DriveLabelMode::Remove));
    EXPECT_FALSE(KeyExists(KeyOf('R')));
    EXPECT_TRUE(KeyExists(kIcons));

    // No label to remove: the open error, nothing changed.
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), SetDriveLabel('R', nullptr, DriveLabelMode::Remove));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), SetDriveLabel('Q', nullptr, DriveLabelMode::Remove));
    EXPECT_EQ(std::string("x.ico", 6), DefaultValue(KeyOf('Q', "DefaultIcon")));
}

TEST_F(DriveLabelTest, ALetterThatIsNoLetterIsRefusedAndEveryLabelStays)
{
    CRegKey icons;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kIcons, 0, KEY_SET_VALUE, icons.Receive()) == ERROR_SUCCESS)
        RegDeleteValueA(icons.Get(), nullptr); // what an earlier build may have left
    ASSERT_EQ(0u, SetDriveLabel('R', "Keep", DriveLabelMode::Write));
    for (const int bad : {0, int('1'), int('\\'), 0xB1, 0x1200}) {
        EXPECT_EQ(87u, SetDriveLabel(bad, nullptr, DriveLabelMode::Remove)) << bad;
        EXPECT_EQ(87u, SetDriveLabel(bad, "Sefra", DriveLabelMode::Write)) << bad;
    }
    EXPECT_EQ(std::string("Keep", 5), DefaultValue(KeyOf('R', "DefaultLabel")));
    EXPECT_EQ("", DefaultValue(kIcons)) << "a label was written on DriveIcons itself";
}

} // namespace
