// palmet_profile_test.cpp - profile records read and written by schema,
// through Palmet.dll's ordinal imports and real profile files.
#include "files.h"
#include "suite/Palmet.h"

#include <gtest/gtest.h>

#include <cstring>


namespace {

const char kFull[] = "int,id;str,20,Target;str,20,Password;";
const char kIdTarget[] = "int,id;str,20,Target";
const char kPassword[] = "str,20,Password";

class PalmetProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_profile = m_folder / "Sefrabox.ini";
        ASSERT_TRUE(WriteText(m_profile, "[1]\r\nid=255\r\nTarget=MainSefra\r\nPassword='abc'\r\n"
                                         "[2]\r\nid=1\r\nTarget=WorkSefra\r\nPassword=\r\n"
                                         "[3]\r\nTarget=NoIdSefra\r\n"
                                         "[4]\r\nid=7\r\nTarget=ABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n"
                                         "Password='0123456789abcdefghijklmnop'\r\n"
                                         // 18 ASCII bytes then 密码: the cut must not split 密.
                                         "[5]\r\nid=8\r\nTarget=abcdefghijklmnopqr\xC3\xDC\xC2\xEB\r\n"));
    }
    CScratchFolder m_folder;
    std::string m_profile;
};

TEST_F(PalmetProfile, ReadsWholeRecordsWithoutTheStoredQuotes)
{
    int id = -1;
    char target[20], password[20];
    ASSERT_EQ(0u, GetProfileParameter(1, m_profile.c_str(), kFull, &id, target, password));
    EXPECT_EQ(255, id);
    EXPECT_STREQ("MainSefra", target);
    EXPECT_STREQ("abc", password);

    id = -1;
    ASSERT_EQ(0u, GetProfileParameter(2, m_profile.c_str(), kIdTarget, &id, target));
    EXPECT_EQ(1, id);
    EXPECT_STREQ("WorkSefra", target);

    ASSERT_EQ(0u, GetProfileParameter(1, m_profile.c_str(), kPassword, password));
    EXPECT_STREQ("abc", password);
    strcpy(password, "stale");
    ASSERT_EQ(0u, GetProfileParameter(2, m_profile.c_str(), kPassword, password));
    EXPECT_STREQ("", password);
}

TEST_F(PalmetProfile, MissingIdKeepsThePresetAndMissingTextReadsEmpty)
{
    int id = -1;
    char target[20], password[20];
    memset(password, 'x', sizeof password);
    ASSERT_EQ(0u, GetProfileParameter(3, m_profile.c_str(), kFull, &id, target, password));
    EXPECT_EQ(-1, id);
    EXPECT_STREQ("NoIdSefra", target);
    EXPECT_STREQ("", password);
}

TEST_F(PalmetProfile, CutsOverlongValuesToTheStatedSizeWithoutOverrun)
{
    struct {
        char target[20];
        char guard1[8];
        char password[20];
        char guard2[8];
    } out;
    memset(&out, '#', sizeof out);
    int id = -1;
    ASSERT_EQ(0u, GetProfileParameter(4, m_profile.c_str(), kFull, &id, out.target, out.password));
    EXPECT_EQ(7, id);
    EXPECT_STREQ("ABCDEFGHIJKLMNOPQRS", out.target);
    EXPECT_STREQ("0123456789abcdefghi", out.password);
    EXPECT_EQ(0, memcmp(out.guard1, "########", 8));
    EXPECT_EQ(0, memcmp(out.guard2, "########", 8));

    // A smaller stated size is honoured as well.
    char small[6] = {'#', '#', '#', '#', '#', '#'};
    ASSERT_EQ(0u, GetProfileParameter(4, m_profile.c_str(), "str,5,Target", small));
    EXPECT_STREQ("ABCD", small);
    EXPECT_EQ('#', small[5]);

    // 18 single bytes + a double-byte character: the lead byte alone would
    // fit in 19 bytes but must not be copied without its trail byte.
    char target[20];
    ASSERT_EQ(0u, GetProfileParameter(5, m_profile.c_str(), kIdTarget, &id, target));
    EXPECT_STREQ("abcdefghijklmnopqr", target);
}

TEST_F(PalmetProfile, MissingRecordFileOrPathFails)
{
    int id = -1;
    char target[20];
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_FOUND), GetProfileParameter(9, m_profile.c_str(), kIdTarget, &id, target));
    const std::string missing = m_folder / "nothing.ini";
    const DWORD missingFile = GetProfileParameter(1, missing.c_str(), kIdTarget, &id, target);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), missingFile);
    const std::string missingFolder = m_folder / "no\\Sefrabox.ini";
    EXPECT_NE(0u, GetProfileParameter(1, missingFolder.c_str(), kIdTarget, &id, target));
    EXPECT_EQ(87u, GetProfileParameter(1, "", kIdTarget, &id, target));
    EXPECT_EQ(87u, GetProfileParameter(0, m_profile.c_str(), kIdTarget, &id, target));
    EXPECT_EQ(-1, id);
}

TEST_F(PalmetProfile, RefusesMalformedSchemasAndBadPointersWith87)
{
    int id = -1;
    char target[20] = "untouched";
    EXPECT_EQ(87u, GetProfileParameter(1, m_profile.c_str(), "int,id;;str,20,Target", &id, target));
    EXPECT_EQ(87u, GetProfileParameter(1, m_profile.c_str(), "float,id", &id));
    EXPECT_EQ(87u, GetProfileParameter(1, m_profile.c_str(), "str,Target", target)); // a read needs a size
    EXPECT_EQ(87u, SetProfileParameter(1, m_profile.c_str(), "str,Pass;word", "x"));
    EXPECT_EQ(87u, GetProfileParameter(1, m_profile.c_str(), nullptr));
    EXPECT_EQ(87u, GetProfileParameter(1, nullptr, kIdTarget, &id, target));
    EXPECT_EQ(87u, GetProfileParameter(1, m_profile.c_str(), kIdTarget, nullptr, target));

    // A read-only page is not a usable out buffer; nothing is written.
    char *page = static_cast<char *>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, page);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(page, 4096, PAGE_READONLY, &old));
    EXPECT_EQ(87u, GetProfileParameter(1, m_profile.c_str(), kIdTarget, &id, page));
    // A buffer that runs off the end of its page is refused as well.
    ASSERT_TRUE(VirtualProtect(page, 4096, PAGE_READWRITE, &old));
    char *nearEnd = static_cast<char *>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, nearEnd);
    EXPECT_EQ(87u, GetProfileParameter(1, m_profile.c_str(), "str,20,Target", nearEnd + 4090));
    VirtualFree(nearEnd, 0, MEM_RELEASE);
    VirtualFree(page, 0, MEM_RELEASE);
    EXPECT_EQ(-1, id);
    EXPECT_STREQ("untouched", target);
}

TEST_F(PalmetProfile, WrittenPasswordsReadBackAsThePasswordCodeExpects)
{
    // The password code stores 'secret' and expects secret back.
    ASSERT_EQ(0u, SetProfileParameter(2, m_profile.c_str(), "str,Password", "'Secret8'"));
    char password[20] = {};
    ASSERT_EQ(0u, GetProfileParameter(2, m_profile.c_str(), kPassword, password));
    EXPECT_STREQ("Secret8", password);
    // The other fields of the record are left alone.
    int id = -1;
    char target[20] = {};
    ASSERT_EQ(0u, GetProfileParameter(2, m_profile.c_str(), kIdTarget, &id, target));
    EXPECT_EQ(1, id);
    EXPECT_STREQ("WorkSefra", target);

    // Clearing writes the empty text, which reads back empty.
    ASSERT_EQ(0u, SetProfileParameter(1, m_profile.c_str(), "str,Password", ""));
    strcpy(password, "stale");
    ASSERT_EQ(0u, GetProfileParameter(1, m_profile.c_str(), kPassword, password));
    EXPECT_STREQ("", password);

    // A double-byte password (密码) survives the round trip.
    ASSERT_EQ(0u, SetProfileParameter(3, m_profile.c_str(), "str,Password", "'\xC3\xDC\xC2\xEB'"));
    ASSERT_EQ(0u, GetProfileParameter(3, m_profile.c_str(), kPassword, password));
    EXPECT_STREQ("\xC3\xDC\xC2\xEB", password);
}

TEST_F(PalmetProfile, WritesCreateRecordsAndFilesWithIntsAsDecimal)
{
    const std::string fresh = m_folder / "fresh.ini";
    int id = 42;
    ASSERT_EQ(0u, SetProfileParameter(6, fresh.c_str(), "int,id;str,Target;str,Password", &id, "New", "'pw'"));
    int readId = -1;
    char target[20] = {}, password[20] = {};
    ASSERT_EQ(0u, GetProfileParameter(6, fresh.c_str(), kFull, &readId, target, password));
    EXPECT_EQ(42, readId);
    EXPECT_STREQ("New", target);
    EXPECT_STREQ("pw", password);
    // A text longer than the stated size of a write schema is refused.
    EXPECT_EQ(87u, SetProfileParameter(6, fresh.c_str(), "str,4,Target", "toolong"));
    ASSERT_EQ(0u, GetProfileParameter(6, fresh.c_str(), kIdTarget, &readId, target));
    EXPECT_STREQ("New", target);
}

} // namespace
