// Double-byte aware comparisons and the Target guard, with code page 936's
// lead bytes.
#include "store/mbcs_text.h"

#include <gtest/gtest.h>

namespace {

int ICmp(const char *a, const char *b) { return MbsICompare(a, b, IsLeadByte936); }

TEST(MbsCompare, SingleByteLettersIgnoreCase)
{
    EXPECT_EQ(0, ICmp("secret", "SECRET"));
    EXPECT_EQ(0, ICmp("secret", "SeCrEt"));
    EXPECT_NE(0, ICmp("secret", "secret1"));
    EXPECT_LT(ICmp("abc", "abd"), 0);
    EXPECT_GT(ICmp("abd", "ABC"), 0);
}

TEST(MbsCompare, TrailBytesAreNeverFolded)
{
    // 0x81 0x41 and 0x81 0x61 are two different characters whose trail
    // bytes happen to be 'A' and 'a'.
    EXPECT_NE(0, ICmp("\x81\x41", "\x81\x61"));
    EXPECT_EQ(0, ICmp("\xB1\xA3x", "\xB1\xA3X")); // 保x / 保X
    // A lead byte must not swallow the terminator.
    EXPECT_NE(0, ICmp("\xB1", "\xB1\xA3"));
}

TEST(MbsCompare, ByteLimitComparesOnlyThePrefix)
{
    EXPECT_EQ(0, MbsNbICompare("abcdefghIJ", "ABCDEFGHxy", 8, IsLeadByte936));
    EXPECT_NE(0, MbsNbICompare("abcdefgh", "abcdefgX", 8, IsLeadByte936));
    // A double-byte character cut by the limit: only its lead byte counts.
    EXPECT_EQ(0, MbsNbICompare("a\xB1\xA3", "a\xB1\xA4", 2, IsLeadByte936));
    EXPECT_NE(0, MbsNbICompare("a\xB1\xA3", "a\xB1\xA4", 3, IsLeadByte936));
}

TEST(FolderName, RefusesAnythingButAPlainName)
{
    for (const char *bad : {"", ".", "..", "..\\x", "a\\b", "a/b", "C:x", "\\abs", "/abs", "x:"})
        EXPECT_FALSE(IsPlainFolderName(bad, IsLeadByte936)) << bad;
    EXPECT_FALSE(IsPlainFolderName(nullptr, IsLeadByte936));
    for (const char *good : {"Folder1", "a.b", "...", "\xB1\xA3\xCF\xD5\xCF\xE4"})
        EXPECT_TRUE(IsPlainFolderName(good, IsLeadByte936)) << good;
}

TEST(FolderName, TrailByteBackslashBelongsToItsCharacter)
{
    // 0x95 0x5C is one character; its trail byte is the code of '\'.
    EXPECT_TRUE(IsPlainFolderName("ab\x95\x5C", IsLeadByte936));
    // A lone lead byte at the end does not hide a following separator.
    EXPECT_FALSE(IsPlainFolderName("a\\\x95", IsLeadByte936));
}

} // namespace
