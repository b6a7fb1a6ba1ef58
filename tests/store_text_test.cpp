// Double-byte aware comparisons and the Target guard, with code page 936's
// lead bytes.
#include "product_texts.h"
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

TEST(FolderName, RefusesEveryNameThePathRulesReadAsAnother)
{
    for (const char *bad : {"", ".", "..", "...", " ", ". .", "..\\x", "a\\b", "a/b", "C:x", "\\abs", "x:",
                            // dropped by the path rules: the root or another folder
                            "WorkSefra.", "WorkSefra ", "Work. ",
                            // devices, with an extension or blanks too
                            "NUL", "con", "Aux.txt", "COM1", "lpt9.x", "PRN .a", "CONOUT$",
                            // wildcards, reserved and control characters
                            "Work*", "W?rk", "a<b", "a>b", "a\"b", "a|b", "a\tb", "a\x7F\x01",
                            // short-name aliases
                            "WORKSE~1", "A~1.TXT"})
        EXPECT_FALSE(IsPlainFolderName(bad, IsLeadByte936)) << '[' << bad << ']';
    EXPECT_FALSE(IsPlainFolderName(nullptr, IsLeadByte936));
    for (const char *good :
         {"Folder1", "a.b", " lead", "CONSOLE", "COM10", "NULL.x", "Long~Name.text", "a~b.c.d", kProductName})
        EXPECT_TRUE(IsPlainFolderName(good, IsLeadByte936)) << good;
}

TEST(FolderName, TrailBytesBelongToTheirCharacterAndMustBeTrailBytes)
{
    // 0xD5 0x5C (誠) is one character; its trail byte is the code of '\'.
    EXPECT_TRUE(IsPlainFolderName("\xCB\xBD\xC3\xDC\xD5\x5C", IsLeadByte936));
    // A lead byte before the end, or before a byte no code page takes as a
    // trail byte ('.', blank, ':', '/'), is no character.
    for (const char *bad : {"a\\\x95", "a\x95", "a\x95.", "a\x95 ", "\x95:x", "\x95/x"})
        EXPECT_FALSE(IsPlainFolderName(bad, IsLeadByte936)) << bad;
}

} // namespace
