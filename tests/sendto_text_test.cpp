// sendto_text_test.cpp - the Send To command line and file list with code
// page 936's lead bytes: the accepted and refused lines, the two buffer
// sizes, the list conversion and input made to break them.
#include "product_texts.h"
#include "sendto/sendto_text.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

struct Parsed {
    uint32_t result;
    std::string name;
    std::string list;
    uint32_t capacity;
};

// One parse with a list buffer of capacity bytes (guard bytes behind both
// buffers must stay untouched).
Parsed Parse(const std::string &line, uint32_t capacity = kFirstSrcPathBytes)
{
    std::vector<char> name(kSefraNameBytes + 4, '#');
    std::vector<char> list(capacity + 4, '#');
    Parsed p{};
    p.capacity = capacity;
    p.result = ParseSendToLine(line.c_str(), name.data(), list.data(), &p.capacity, IsLeadByte936);
    EXPECT_EQ(std::string(4, '#'), std::string(name.end() - 4, name.end())) << "sefra number buffer overrun";
    EXPECT_EQ(std::string(4, '#'), std::string(list.end() - 4, list.end())) << "file list buffer overrun";
    if (p.result == kSendToOk || p.result == kSendToBufferOverflow)
        p.name = name.data();
    if (p.result == kSendToOk)
        p.list = list.data();
    return p;
}

// The converted list's names, up to the empty one that ends it.
std::vector<std::string> Names(std::string text, size_t spare = 2)
{
    text.append(spare, '\0');
    std::vector<char> buf(text.begin(), text.end());
    EXPECT_NE(nullptr, ConvertToFileList(buf.data(), buf.size(), IsLeadByte936));
    std::vector<std::string> names;
    for (size_t at = 0; at < buf.size() && buf[at] != '\0';) {
        names.emplace_back(&buf[at]);
        at += names.back().size() + 1;
    }
    return names;
}

const char kHost[] = "rundll32.exe C:\\Sefrabox\\Sefrabox.dll,";

TEST(SendToLine, TheKeywordInAnyCaseGivesNumberAndTrimmedList)
{
    for (const char *keyword : {"MySendTo", "mysendto", "MYSENDTO", "mYsEnDtO"}) {
        const Parsed p = Parse(std::string(kHost) + keyword + " 2, C:\\a.txt \"C:\\My Files\\b.txt\"\t\n");
        EXPECT_EQ(kSendToOk, p.result) << keyword;
        EXPECT_EQ("2", p.name);
        EXPECT_EQ("C:\\a.txt \"C:\\My Files\\b.txt\"", p.list);
    }
    // The keyword may stand after other words; they then belong to the number.
    EXPECT_EQ("x 7", Parse("h d,x MySendTo 7,a").name);
}

TEST(SendToLine, MalformedLinesAreRefused)
{
    EXPECT_EQ(kSendToBadArgument, Parse("rundll32.exe Sefrabox.dll MySendTo 2 a.txt").result); // no comma
    EXPECT_EQ(kSendToBadArgument, Parse("rundll32.exe Sefrabox.dll,").result);                 // nothing after it
    EXPECT_EQ(kSendToBadArgument, Parse(std::string(kHost) + "SendTo 2,a.txt").result);        // no keyword
    EXPECT_EQ(kSendToBadArgument, Parse(std::string(kHost) + "MySendTo 2 a.txt").result);      // no comma after 2
    EXPECT_EQ(kSendToBadArgument, Parse(std::string(kHost) + "MySendTo 2,").result);           // nothing after it
    // The keyword before the first comma does not count.
    EXPECT_EQ(kSendToBadArgument, Parse("MySendTo 2,a.txt").result);
    // The keyword ends the line: nothing follows it to be cut.
    EXPECT_EQ(kSendToBadArgument, Parse("x,MySendTo").result);
    EXPECT_EQ(kSendToBadArgument, Parse(std::string()).result);
    uint32_t capacity = kFirstSrcPathBytes;
    char name[kSefraNameBytes], list[kFirstSrcPathBytes];
    EXPECT_EQ(kSendToBadArgument, ParseSendToLine(nullptr, name, list, &capacity, IsLeadByte936));
    EXPECT_EQ(kSendToBadArgument, ParseSendToLine("x,MySendTo 2,a", name, list, nullptr, IsLeadByte936));
}

TEST(SendToLine, QuotedNumberAndACommaInTheListEndingIt)
{
    const Parsed p = Parse(std::string(kHost) + "MySendTo \"255\" , a.txt b.txt, c.txt,d.txt");
    EXPECT_EQ(kSendToOk, p.result);
    EXPECT_EQ("255", p.name);
    EXPECT_EQ("a.txt b.txt", p.list);
}

TEST(SendToLine, NumbersOfTwentyBytesOrMoreAndEmptyListsAreRefused)
{
    EXPECT_EQ(kSendToOk, Parse("x,MySendTo " + std::string(19, '9') + ",a").result);
    EXPECT_EQ(std::string(19, '9'), Parse("x,MySendTo " + std::string(19, '9') + ",a").name);
    EXPECT_EQ(kSendToBadArgument, Parse("x,MySendTo " + std::string(20, '9') + ",a").result);
    EXPECT_EQ(kSendToBadArgument, Parse("x,MySendTo " + std::string(5000, '1') + ",a").result);
    // Blanks and quotes around the number do not count against it.
    EXPECT_EQ(kSendToOk, Parse("x,MySendTo   \"" + std::string(19, '1') + "\"   ,a").result);
    // A list of separators only is empty once trimmed.
    EXPECT_EQ(kSendToBadArgument, Parse("x,MySendTo 2, \t \n ").result);
    EXPECT_EQ(kSendToBadArgument, Parse("x,MySendTo 2,,,,").result);
}

TEST(SendToLine, A262ByteListFitsAnd263BytesAskForASecondBuffer)
{
    const std::string fits(262, 'f');
    Parsed p = Parse("x,MySendTo 2," + fits);
    EXPECT_EQ(kSendToOk, p.result);
    EXPECT_EQ(fits, p.list);

    // Raw bytes count before trimming: blanks included.
    const std::string raw = " " + std::string(261, 'g') + " ";
    p = Parse("x,MySendTo 2," + raw + ",rest");
    EXPECT_EQ(kSendToBufferOverflow, p.result);
    EXPECT_EQ(263u + 10u, p.capacity);
    EXPECT_EQ("2", p.name);
    p = Parse("x,MySendTo 2," + raw + ",rest", p.capacity);
    EXPECT_EQ(kSendToOk, p.result);
    EXPECT_EQ(std::string(261, 'g'), p.list);
}

TEST(SendToList, QuotedNameWithABlankAndAPlainNameMakeTwoNamesAndTheDoubleNul)
{
    std::string text = "\"C:\\My Files\\a.txt\" C:\\b.txt";
    std::vector<char> buf(text.begin(), text.end());
    buf.resize(buf.size() + 8, 'z');
    buf[text.size()] = '\0';
    ASSERT_EQ(buf.data(), ConvertToFileList(buf.data(), buf.size(), IsLeadByte936));
    const std::string expected("C:\\My Files\\a.txt\0C:\\b.txt\0\0", 28);
    EXPECT_EQ(expected, std::string(buf.data(), expected.size()));
    // The rest of the old text is zero; bytes behind it are not touched.
    EXPECT_EQ(std::string(text.size() + 2 - expected.size(), '\0'),
              std::string(buf.data() + expected.size(), text.size() + 2 - expected.size()));
    EXPECT_EQ('z', buf[text.size() + 2]);
}

TEST(SendToList, QuotesBlanksAndRoom)
{
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), Names("a   b"));    // a run of blanks separates once
    EXPECT_EQ((std::vector<std::string>{"a\"b"}), Names("\"a\"\"b\"")); // a doubled quote stays as one
    EXPECT_EQ((std::vector<std::string>{"x y"}), Names("x\" \"y"));     // quotes inside a name
    EXPECT_TRUE(Names("\"").empty());                                   // a lone quote: no name at all
    EXPECT_EQ((std::vector<std::string>{"tail "}), Names("\"tail "));   // an unclosed quote keeps blanks
    // A list that fills its buffer has no room for the second NUL.
    char full[4] = {'a', 'b', 'c', '\0'};
    EXPECT_EQ(nullptr, ConvertToFileList(full, sizeof full, IsLeadByte936));
    EXPECT_STREQ("abc", full);
    EXPECT_EQ(nullptr, ConvertToFileList(nullptr, 10, IsLeadByte936));
}

TEST(SendToList, DoubleByteNamesBesideQuotesAndBlanks)
{
    // 保险 and 箱: the lead and trail bytes stay together beside the quote and
    // the blank, and a lead byte that ends the text is kept alone.
    EXPECT_EQ((std::vector<std::string>{"\xB1\xA3 \xCF\xD5", "\xCF\xE4"}), Names("\"\xB1\xA3 \xCF\xD5\" \xCF\xE4"));
    EXPECT_EQ((std::vector<std::string>{"\xB1"}), Names("\xB1"));
    // A lead byte takes the quote after it as its trail byte: no quoting.
    EXPECT_EQ((std::vector<std::string>{"\x81\"a", "b"}), Names("\x81\"a b\""));
}

TEST(SendToLine, DoubleByteCharactersAreNeverSplit)
{
    // The M after 0x81 is a trail byte: no keyword at a character boundary.
    EXPECT_EQ(kSendToBadArgument, Parse("x,\x81MySendTo 2,a").result);
    // A keyword followed by a double-byte character cuts the whole character.
    Parsed p = Parse("x,MySendTo\xB1\xA3"
                     "2,a");
    EXPECT_EQ(kSendToOk, p.result);
    EXPECT_EQ("2", p.name);
    // Names with double-byte characters next to the trimmed separators.
    p = Parse("x,MySendTo \"\xB1\xA3\","
              " \xCF\xD5\\\xCF\xE4.txt ");
    EXPECT_EQ(kSendToOk, p.result);
    EXPECT_EQ("\xB1\xA3", p.name);
    EXPECT_EQ("\xCF\xD5\\\xCF\xE4.txt", p.list);
    // A lead byte before the terminator: nothing is read past it.
    p = Parse("x,MySendTo 2,\xB1");
    EXPECT_EQ(kSendToOk, p.result);
    EXPECT_EQ("\xB1", p.list);
}

// The display name in the 32-byte buffer of the copy, with guard bytes.
std::string DisplayName(const std::string &platform)
{
    char buf[32 + 4];
    std::memset(buf, '#', sizeof buf);
    const size_t len = MakeSefraDisplayName(platform.c_str(), kProductName, buf, 32, IsLeadByte936);
    EXPECT_EQ("####", std::string(buf + 32, 4)) << "display name buffer overrun";
    EXPECT_EQ(len, std::strlen(buf));
    return buf;
}

TEST(SendToText, DisplayNameGetsTheTitleOnceAndLongNamesAreCutBetweenCharacters)
{
    const std::string safe = kProductName;
    const std::string management = "\xB9\xDC\xC0\xED\xC6\xBD\xCC\xA8"; // 管理平台
    EXPECT_EQ(management + safe, DisplayName(management));
    EXPECT_EQ(management + safe, DisplayName(management + safe));
    // The title's bytes straddling two characters do not count as the title.
    EXPECT_EQ("\xD0" + safe + "\xB1" + safe, DisplayName("\xD0" + safe + "\xB1"));
    // 15 double-byte characters: 12 fit before the title (24 + 6 bytes).
    std::string wide;
    for (int i = 0; i < 15; ++i)
        wide += "\xC6\xBD";
    EXPECT_EQ(wide.substr(0, 24) + safe, DisplayName(wide));
    // A single-byte character shifts the cut: 1 + 12 * 2 = 25 bytes fit.
    EXPECT_EQ("x" + wide.substr(0, 24) + safe, DisplayName("x" + wide));
    EXPECT_EQ(std::string(25, 'n') + safe, DisplayName(std::string(40, 'n')));
    // A long name that holds the title keeps 31 bytes of whole characters.
    EXPECT_EQ(safe + wide.substr(0, 24), DisplayName(safe + wide));
    EXPECT_EQ(safe, DisplayName(""));
}

TEST(SendToText, FindAndCutKeywordAndTrimChars)
{
    char text[] = "abcmysendTO def";
    EXPECT_EQ(text + 3, FindAndCutKeyword(text, kSendToKeyword, IsLeadByte936));
    EXPECT_STREQ("abcdef", text);
    char end[] = "abcMySendTo";
    EXPECT_EQ(end + 3, FindAndCutKeyword(end, kSendToKeyword, IsLeadByte936));
    EXPECT_STREQ("abc", end);
    char none[] = "MySendT";
    EXPECT_EQ(nullptr, FindAndCutKeyword(none, kSendToKeyword, IsLeadByte936));
    EXPECT_STREQ("MySendT", none);
    EXPECT_EQ(nullptr, FindAndCutKeyword(nullptr, kSendToKeyword, IsLeadByte936));

    char trim[] = " ,\"\t\n 12 \"\n";
    TrimChars(trim, trim, kSefraNameTrimSet, IsLeadByte936);
    EXPECT_STREQ("12", trim);
    char only[] = " ,\t\n,";
    TrimChars(only, only, kSrcPathTrimSet, IsLeadByte936);
    EXPECT_STREQ("", only);
    char copy[8] = "zzzzzzz";
    TrimChars(" a\"b ", copy, kSrcPathTrimSet, IsLeadByte936);
    EXPECT_STREQ("a\"b", copy);
    TrimChars(nullptr, copy, kSrcPathTrimSet, IsLeadByte936);
    EXPECT_STREQ("a\"b", copy);
}

} // namespace
