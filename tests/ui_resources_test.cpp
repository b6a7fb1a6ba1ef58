// ui_resources_test.cpp - the resources inside Sefrabox.dll: string tables of
// both languages byte-exact in code page 936, the dialog templates, bitmaps,
// icons and the version record.
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

const StringCase kSimplified[] = {
    {3345,
     "\n\xC7\xEB\xCF\xC8\xB9\xD8\xB1\xD5\xA1\xB0%s\xA1\xB1\xD4\xD9\xCA\xD4\xA3\xA1\t\n\n"}, // \n请先关闭“%s”再试！\t\n\n
    {3347,
     "\xC3\xDC\xC2\xEB\xB4\xED\xCE\xF3\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xCA\xE4\xC8\xEB\xA3\xA1"}, // 密码错误，请重新输入！
    {3348, "\xBE\xC9\xC3\xDC\xC2\xEB\xCA\xE4\xC8\xEB\xD3\xD0\xCE\xF3\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xCA\xE4\xC8\xEB"
           "\xA3\xA1"}, // 旧密码输入有误，请重新输入！
    {3349, "\xC1\xBD\xB4\xCE\xCA\xE4\xC8\xEB\xB5\xC4\xD0\xC2\xC3\xDC\xC2\xEB\xB2\xBB\xCD\xAC\xA3\xAC\xC7\xEB\xD6\xD8"
           "\xD0\xC2\xCA\xE4\xC8\xEB\xA3\xA1"}, // 两次输入的新密码不同，请重新输入！
    {3350, "\xCC\xED\xBC\xD3\xC3\xDC\xC2\xEB\xB3\xC9\xB9\xA6\xA3\xA1"},     // 添加密码成功！
    {3351, "\xD0\xDE\xB8\xC4\xC3\xDC\xC2\xEB\xB3\xC9\xB9\xA6\xA3\xA1"},     // 修改密码成功！
    {3352, "\xB4\xF2\xBF\xAA\\\"%s\\\"\xCA\xB1\xB3\xF6\xB4\xED\xA3\xA1%s"}, // 打开\"%s\"时出错！%s
    {3353, "\xB1\xA3\xCF\xD5\xCF\xE4\xB9\xDC\xC0\xED"},                     // 保险箱管理
    {3354, "\xB5\xC4"
           "C:"},                                                                         // 的C:
    {3356, "\xD5\xFD\xD4\xDA\xB7\xA2\xCB\xCD\xCE\xC4\xBC\xFE\xB5\xBD%s\xA1\xAD\xA1\xAD"}, // 正在发送文件到%s……
    {3357,
     "\xB7\xA2\xCB\xCD\xB5\xBD%"
     "s\xB3\xC9\xB9\xA6\xA3\xA1\n\n\xB7\xA2\xCB\xCD\xB5\xBD\xB1\xA3\xCF\xD5\xCF\xE4\xD6\xD0\xB5\xC4\xCE\xC4\xBC\xFE\xD2"
     "\xD1\xD7\xD4\xB6\xAF\xCD\xEA\xB3\xC9\xB2\xA1\xB6\xBE\xC9\xA8\xC3\xE8\xA3\xA1"}, // 发送到%s成功！\n\n发送到保险箱中的文件已自动完成病毒扫描！
    {3358, "\xB4\xF2\xBF\xAA\xB1\xA3\xCF\xD5\xCF\xE4\xCA\xA7\xB0\xDC\xA3\xA1"}, // 打开保险箱失败！
    {3359, "\xC7\xEB\xCA\xE4\xC8\xEB%s\xB5\xC4\xC3\xDC\xC2\xEB\xA3\xBA"},       // 请输入%s的密码：
    {
        3362,
        "\xD3\xD0\xC6\xE4\xCB\xFB\xB3\xCC\xD0\xF2\xD5\xFD\xD4\xDA\xB7\xC3\xCE\xCA\xB1\xA3\xCF\xD5\xCF\xE4\xB5\xC4\xB9"
        "\xA6\xC4\xDC\xA3\xAC\xBD\xA8\xD2\xE9\xC4\xFA\xD1\xA1\xD4\xF1\xA1\xB0\xB7\xF1\xA1\xB1\xB5\xC8\xB4\xFD\xC6\xE4"
        "\xCB\xFB\xB3\xCC\xD0\xF2\xB2\xD9\xD7\xF7\xCD\xEA\xB3\xC9\xBA\xF3\xD4\xD9\xB9\xD8\xB1\xD5\xA3\xAC\n\n\xB5\xE3"
        "\xBB\xF7\xA1\xB0\xCA\xC7\xA1\xB1\xC7\xBF\xD6\xC6\xB9\xD8\xB1\xD5\xB1\xA3\xCF\xD5\xCF\xE4\xA3\xAC\xD5\xFD\xD4"
        "\xDA\xCA\xB9\xD3\xC3\xCB\xFC\xB5\xC4\xB3\xCC\xD0\xF2\xBF\xC9\xC4\xDC\xBB\xE1\xB3\xF6\xB4\xED\xB4\xED\xCE\xF3"
        "\xA3\xA1"}, // 有其他程序正在访问保险箱的功能，建议您选择“否”等待其他程序操作完成后再关闭，\n\n点击“是”强制关闭保险箱，正在使用它的程序可能会出错错误！
    {3371, "\xB5\xDA\xB6\xFE\xBF\xD5\xBC\xE4"}, // 第二空间
    {3372, "\xD6\xF7\xCF\xB5\xCD\xB3"},         // 主系统
    {57344, "\xB1\xA3\xCF\xD5\xCF\xE4"},        // 保险箱
};
const StringCase kTraditional[] = {
    {3347,
     "\xC3\xDC\xB4\x61\xE5\x65\xD5\x60\xA3\xAC\xD5\x88\xD6\xD8\xD0\xC2\xDD\x94\xC8\xEB\xA3\xA1"}, // 密碼錯誤，請重新輸入！
    {3352, "\xE9\x5F\x86\xA2\\\"%s\\\"\x95\x72\xB0\x6C\xC9\xFA\xE5\x65\xD5\x60\xA3\xA1%s"}, // 開啟\"%s\"時發生錯誤！%s
    {3353, "\xB1\xA3\xEB\x55\xCF\xE4\xB9\xDC\xC0\xED"},                                     // 保險箱管理
    {3354, "\xB5\xC4"
           "C:"},                        // 的C:
    {57344, "\xB1\xA3\xEB\x55\xCF\xE4"}, // 保險箱
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

TEST(UiResources, SimplifiedStringsAreTheProductsTexts)
{
    ASSERT_TRUE(Library());
    for (const StringCase &c : kSimplified) {
        std::string text;
        ASSERT_TRUE(ReadString(c.id, kSimplifiedLang, text)) << c.id;
        EXPECT_EQ(c.text, text) << c.id;
    }
    // What the running code page makes of the title.
    char title[32] = {};
    LoadStringA(Library(), 57344, title, sizeof(title));
    EXPECT_STREQ("\xB1\xA3\xCF\xD5\xCF\xE4", title);
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
