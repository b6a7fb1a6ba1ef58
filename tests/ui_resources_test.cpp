// ui_resources_test.cpp - the resources inside Sefrabox.dll: the texts no
// window of the tests shows, byte-exact in code page 936 (the simplified
// ones no window shows, the traditional-Chinese table), the dialog
// templates, bitmaps, icons and the version record.
#include "product_texts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct StringCase {
    UINT id;
    const char *text; // code page 936
};

const WORD kSimplifiedLang = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);   // 2052
const WORD kTraditionalLang = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL); // 1028

// What no window of the tests shows: the Send To copy's progress title
// (the shell's progress window comes and goes with the copy) and the text
// sent to the platform service. The others are checked where they show.
const StringCase kSimplified[] = {
    {3356, kSendingFormat},
    {3371, kSecondSpace},
};
const StringCase kTraditional[] = {
    {3347,
     "\xC3\xDC\xB4\x61\xE5\x65\xD5\x60\xA3\xAC\xD5\x88\xD6\xD8\xD0\xC2\xDD\x94\xC8\xEB\xA3\xA1"}, // 密碼錯誤，請重新輸入！
    {3352, "\xE9\x5F\x86\xA2\\\"%s\\\"\x95\x72\xB0\x6C\xC9\xFA\xE5\x65\xD5\x60\xA3\xA1%s"}, // 開啟\"%s\"時發生錯誤！%s
    {3353, "\xB1\xA3\xEB\x55\xCF\xE4\xB9\xDC\xC0\xED"},                                     // 保險箱管理
    {3354, "\xB5\xC4"
           "C:"}, // 的C:
    {57344, kProductNameTraditional},
};

HMODULE Library()
{
    static HMODULE h = LoadLibraryA("Sefrabox.dll");
    return h;
}

// String id of one language, read from its table block and converted to
// code page 936; false when the table or the entry is missing.
bool ReadString(UINT id, WORD lang, std::string &text)
{
    HRSRC res = FindResourceExA(Library(), MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(id / 16 + 1), lang);
    if (!res)
        return false;
    const WCHAR *p = static_cast<const WCHAR *>(LockResource(LoadResource(Library(), res)));
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    const int len = *p++;
    if (len == 0)
        return false;
    const int n = WideCharToMultiByte(936, 0, p, len, nullptr, 0, nullptr, nullptr);
    text.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(936, 0, p, len, &text[0], n, nullptr, nullptr);
    return true;
}

TEST(UiResources, SimplifiedStringsNoWindowShowsAreTheProductsTexts)
{
    ASSERT_TRUE(Library());
    for (const StringCase &c : kSimplified) {
        std::string text;
        ASSERT_TRUE(ReadString(c.id, kSimplifiedLang, text)) << c.id;
        EXPECT_EQ(c.text, text) << c.id;
    }
}

TEST(UiResources, TraditionalSubsetHoldsItsTexts)
{
    for (const StringCase &c : kTraditional) {
        std::string text;
        ASSERT_TRUE(ReadString(c.id, kTraditionalLang, text)) << c.id;
        EXPECT_EQ(c.text, text) << c.id;
    }
    for (UINT id = 3348; id <= 3351; ++id) {
        std::string text;
        EXPECT_TRUE(ReadString(id, kTraditionalLang, text)) << id;
    }
}

TEST(UiResources, TemplatesPicturesIconsAndVersionArePresent)
{
    for (UINT id : {1000u, 1155u, 1170u, 1171u, 2000u, 2200u})
        EXPECT_TRUE(FindResourceExA(Library(), MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id), kSimplifiedLang)) << id;
    for (UINT id : {2000u, 2200u})
        EXPECT_TRUE(FindResourceExA(Library(), MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(id), kTraditionalLang)) << id;
    for (UINT id = 1123; id <= 1154; ++id) {
        HBITMAP bmp = LoadBitmapA(Library(), MAKEINTRESOURCEA(id));
        EXPECT_TRUE(bmp) << id;
        DeleteObject(bmp);
    }
    for (UINT id = 2203; id <= 2209; ++id) {
        HBITMAP bmp = LoadBitmapA(Library(), MAKEINTRESOURCEA(id));
        EXPECT_TRUE(bmp) << id;
        DeleteObject(bmp);
    }
    for (UINT id : {1104u, 1105u})
        EXPECT_TRUE(LoadIconA(Library(), MAKEINTRESOURCEA(id))) << id;
    EXPECT_TRUE(FindResourceA(Library(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)));
}

TEST(UiResources, BackgroundPictureLiesBesideTheLibrary)
{
    char path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(Library(), path, sizeof(path)), 0u);
    std::string file(path);
    file = file.substr(0, file.find_last_of('\\') + 1) + "SefraboxBack.bmp";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str())) << file;
}

} // namespace
