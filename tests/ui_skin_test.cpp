// ui_skin_test.cpp - CSkinButton's bitmap choice, hover tracking, caption and
// missing bitmaps, drawn through the reflected owner-draw message of a real
// button; CSkinBitmap::LoadFromFile with real image files.
#include "module/app.h"
#include "res/resource.h"
#include "ui/skin_bitmap.h"
#include "ui/skin_button.h"
#include "win/dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Bitmaps handed to the button: normal, hover, focus, pressed, disabled, default.
constexpr UINT kNormal = 1130, kHover = 1128, kFocus = 1125, kPressed = 1129, kDisabled = 1127, kDefault = 1124;
constexpr int kProbe = 8;

class CButtonHost : public CDialog {
public:
    CButtonHost() : CDialog(IDD_RESTART, nullptr) {}
    CSkinButton m_btn;

protected:
    void DoDataExchange(CDataExchange &dx) override { DdxControl(dx, IDC_RESTART, m_btn); }
};

COLORREF ResourcePixel(UINT id)
{
    CBitmapObject bmp(LoadBitmapA(g_hSefraboxInstance, MAKEINTRESOURCEA(id)));
    CClientDC screen(nullptr);
    CMemoryDC mem(screen.Get());
    CSelectObject select(mem.Get(), bmp.Get());
    return GetPixel(mem.Get(), kProbe, kProbe);
}

// Draws the button into a memory bitmap pre-filled with a marker colour and
// returns the pixels, through the message the dialog reflects to it.
class CDrawing {
public:
    static constexpr COLORREF kMarker = RGB(1, 2, 3);
    CDrawing(CSkinButton &btn, UINT itemState)
        : m_screen(nullptr), m_mem(m_screen.Get()), m_bmp(CreateCompatibleBitmap(m_screen.Get(), 200, 200)),
          m_select(m_mem.Get(), m_bmp.Get())
    {
        RECT all{0, 0, 200, 200};
        CBrushObject marker(CreateSolidBrush(kMarker));
        FillRect(m_mem.Get(), &all, marker.Get());
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = GetDlgCtrlID(btn.GetSafeHwnd());
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = itemState;
        dis.hwndItem = btn.GetSafeHwnd();
        dis.hDC = m_mem.Get();
        ::GetClientRect(btn.GetSafeHwnd(), &dis.rcItem);
        m_handled =
            SendMessageA(btn.GetSafeHwnd(), kReflectBase + WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis)) != 0;
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_mem.Get(), x, y); }
    bool Handled() const { return m_handled; }

private:
    CClientDC m_screen;
    CMemoryDC m_mem;
    CBitmapObject m_bmp;
    CSelectObject m_select;
    bool m_handled = false;
};

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hSefraboxInstance = GetModuleHandleA(nullptr);
        m_host.m_btn.SetBitmaps(kNormal, kHover, kFocus, kPressed, kDisabled, kDefault);
        ASSERT_TRUE(m_host.Create());
        ASSERT_TRUE(m_host.m_btn.GetSafeHwnd());
    }
    COLORREF Drawn(UINT state) { return CDrawing(m_host.m_btn, state).Pixel(kProbe, kProbe); }
    CButtonHost m_host;
};

TEST_F(SkinButtonTest, BecomesOwnerDrawnAndChoosesTheBitmapOfTheFirstMatchingState)
{
    EXPECT_EQ(BS_OWNERDRAW, m_host.m_btn.GetStyle() & BS_TYPEMASK);

    // The probe must tell the six bitmaps apart for the checks below to mean anything.
    const std::vector<UINT> ids{kNormal, kHover, kFocus, kPressed, kDisabled, kDefault};
    for (size_t i = 0; i < ids.size(); ++i)
        for (size_t j = i + 1; j < ids.size(); ++j)
            ASSERT_NE(ResourcePixel(ids[i]), ResourcePixel(ids[j])) << ids[i] << " vs " << ids[j];

    EXPECT_TRUE(CDrawing(m_host.m_btn, 0).Handled());
    EXPECT_EQ(ResourcePixel(kNormal), Drawn(0));
    EXPECT_EQ(ResourcePixel(kFocus), Drawn(ODS_FOCUS));
    EXPECT_EQ(ResourcePixel(kDefault), Drawn(ODS_DEFAULT));
    EXPECT_EQ(ResourcePixel(kPressed), Drawn(ODS_SELECTED | ODS_FOCUS));

    m_host.m_btn.SendMessage(WM_MOUSEHOVER, 0, MAKELPARAM(kProbe, kProbe));
    ASSERT_EQ(1, m_host.m_btn.IsHover());
    EXPECT_EQ(ResourcePixel(kHover), Drawn(0));
    EXPECT_EQ(ResourcePixel(kDisabled), Drawn(ODS_DISABLED)) << "disabled wins over hover";
    EXPECT_EQ(ResourcePixel(kPressed), Drawn(ODS_SELECTED)) << "pressed wins over hover";
    EXPECT_EQ(ResourcePixel(kHover), Drawn(ODS_FOCUS)) << "hover wins over focus";
    EXPECT_EQ(ResourcePixel(kHover), Drawn(ODS_DEFAULT));

    m_host.m_btn.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(0, m_host.m_btn.IsHover());
    EXPECT_EQ(0, m_host.m_btn.IsTracking());
    EXPECT_EQ(ResourcePixel(kNormal), Drawn(0));
}

TEST_F(SkinButtonTest, MouseMoveAsksForHoverAndLeaveReports)
{
    EXPECT_EQ(0, m_host.m_btn.IsTracking());
    m_host.m_btn.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(1, m_host.m_btn.IsTracking());
}

TEST_F(SkinButtonTest, MissingStatesFallBackToNormalAndMissingResourcesDrawNothing)
{
    m_host.m_btn.SetBitmaps(kNormal, 0, 0, 0, 60001, 0);
    m_host.m_btn.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(ResourcePixel(kNormal), Drawn(0));
    EXPECT_EQ(ResourcePixel(kNormal), Drawn(ODS_SELECTED));
    EXPECT_EQ(ResourcePixel(kNormal), Drawn(ODS_DISABLED)) << "resource 60001 does not exist";

    m_host.m_btn.SetBitmaps(60001, 60002, 0, 0, 0, 0);
    EXPECT_EQ(CDrawing::kMarker, Drawn(0));
    EXPECT_EQ(CDrawing::kMarker, Drawn(ODS_SELECTED));
}

TEST_F(SkinButtonTest, CaptionIsDrawnOverTheBitmapOnlyWhenSwitchedOn)
{
    m_host.m_btn.SetWindowText("WWWWWWWW");
    RECT rc{};
    m_host.m_btn.GetClientRect(&rc);
    auto bottomDiffers = [&](const CDrawing &a, const CDrawing &b) {
        int differing = 0;
        for (int y = rc.bottom - 20; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                differing += a.Pixel(x, y) != b.Pixel(x, y);
        return differing;
    };
    CDrawing plain1(m_host.m_btn, 0);
    m_host.m_btn.SetTextFormat(DT_SINGLELINE | DT_BOTTOM, FALSE);
    CDrawing plain2(m_host.m_btn, 0);
    EXPECT_EQ(0, bottomDiffers(plain1, plain2));
    m_host.m_btn.SetTextFormat(DT_SINGLELINE | DT_BOTTOM, TRUE);
    CDrawing captioned(m_host.m_btn, 0);
    EXPECT_GT(bottomDiffers(plain1, captioned), 0);

    // No bitmap at all: the caption alone.
    m_host.m_btn.SetBitmaps(0, 0, 0, 0, 0, 0);
    CDrawing textOnly(m_host.m_btn, 0);
    int marker = 0;
    for (int y = rc.bottom - 20; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            marker += textOnly.Pixel(x, y) != CDrawing::kMarker;
    EXPECT_GT(marker, 0);
}

TEST_F(SkinButtonTest, ThePaintOfTheRealButtonGoesThroughTheDialogToTheSkin)
{
    // A repaint makes the system send WM_DRAWITEM, with the button's real
    // state, to the dialog, which hands it back to the button.
    m_host.ShowWindow(SW_SHOW);
    const HWND btn = m_host.m_btn.GetSafeHwnd();
    auto painted = [&] {
        InvalidateRect(btn, nullptr, FALSE);
        UpdateWindow(btn);
        CClientDC dc(btn);
        return GetPixel(dc.Get(), kProbe, kProbe);
    };
    SetFocus(m_host.GetDlgItem(IDCANCEL));
    ASSERT_NE(btn, GetFocus());
    EXPECT_EQ(ResourcePixel(kNormal), painted());
    SetFocus(btn);
    ASSERT_EQ(btn, GetFocus());
    EXPECT_EQ(ResourcePixel(kFocus), painted());
    EnableWindow(btn, FALSE);
    EXPECT_EQ(ResourcePixel(kDisabled), painted());
}

// The platform buttons draw their caption at the bottom left (format 0x28)
// over their bitmap: the bottom rows, as high as a caption line, are one
// plain colour in every state's picture, with no frame running through.
TEST(SkinArt, PlatformTilesKeepTheirCaptionBandPlain)
{
    g_hSefraboxInstance = GetModuleHandleA(nullptr);
    constexpr int kCaptionRows = 20;
    for (UINT id = 1128; id <= 1136; ++id) {
        CBitmapObject bmp(LoadBitmapA(g_hSefraboxInstance, MAKEINTRESOURCEA(id)));
        ASSERT_TRUE(bmp.Get()) << id;
        BITMAP bm{};
        GetObjectA(bmp.Get(), sizeof bm, &bm);
        CClientDC screen(nullptr);
        CMemoryDC mem(screen.Get());
        CSelectObject select(mem.Get(), bmp.Get());
        const COLORREF band = GetPixel(mem.Get(), 0, bm.bmHeight - 1);
        int other = 0;
        for (int y = bm.bmHeight - kCaptionRows; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x)
                other += GetPixel(mem.Get(), x, y) != band;
        EXPECT_EQ(0, other) << "bitmap " << id;
    }
}

// ---------------------------------------------------------------- CSkinBitmap

std::string TempPath(const char *name)
{
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof(dir), dir);
    return std::string(dir) + name;
}

void WriteFileBytes(const std::string &path, const void *data, size_t size)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD written = 0;
    WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
}

// A 24-bit bottom-up BMP of one colour, marked 96 DPI.
void WriteBmp(const std::string &path, int w, int h, COLORREF colour)
{
    const int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biXPelsPerMeter = ih.biYPelsPerMeter = 3780;
    ih.biSizeImage = stride * h;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + ih.biSizeImage;
    std::vector<BYTE> bytes(fh.bfSize);
    memcpy(bytes.data(), &fh, sizeof(fh));
    memcpy(bytes.data() + sizeof(fh), &ih, sizeof(ih));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            BYTE *p = bytes.data() + fh.bfOffBits + y * stride + x * 3;
            p[0] = GetBValue(colour);
            p[1] = GetGValue(colour);
            p[2] = GetRValue(colour);
        }
    WriteFileBytes(path, bytes.data(), bytes.size());
}

SIZE BitmapSize(HBITMAP h)
{
    BITMAP bm{};
    GetObjectA(h, sizeof(bm), &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

TEST(SkinBitmap, OneInchPictureBecomesScreenPixelsPerInch)
{
    CClientDC screen(nullptr);
    const int dpiX = GetDeviceCaps(screen.Get(), LOGPIXELSX), dpiY = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    ASSERT_EQ(96, dpiX) << "the test display runs at 96 DPI";
    // A bitmap picture of 96 pixels measures 2540 HIMETRIC on a 96 DPI screen.
    const std::string path = TempPath("sb_inch.bmp");
    WriteBmp(path, 96, 96, RGB(200, 30, 40));
    CSkinBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromFile(path.c_str(), RGB(0, 0, 0)));
    const SIZE size = BitmapSize(bmp.Get());
    EXPECT_EQ(MulDiv(2540, dpiX, 2540), size.cx);
    EXPECT_EQ(MulDiv(2540, dpiY, 2540), size.cy);
    CMemoryDC mem(screen.Get());
    CSelectObject select(mem.Get(), bmp.Get());
    EXPECT_EQ(RGB(200, 30, 40), GetPixel(mem.Get(), 10, 10));
    DeleteFileA(path.c_str());
}

TEST(SkinBitmap, KeepsWidthAndHeightApartAndLoadsOnlyOnce)
{
    const std::string wide = TempPath("sb_wide.bmp"), square = TempPath("sb_square.bmp");
    WriteBmp(wide, 120, 48, RGB(0, 128, 0));
    WriteBmp(square, 30, 30, RGB(0, 0, 255));
    CSkinBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromFile(wide.c_str(), CLR_INVALID));
    const HBITMAP first = bmp.Get();
    EXPECT_EQ(120, BitmapSize(first).cx);
    EXPECT_EQ(48, BitmapSize(first).cy);
    EXPECT_FALSE(bmp.LoadFromFile(square.c_str(), CLR_INVALID));
    EXPECT_EQ(first, bmp.Get());
    EXPECT_EQ(120, BitmapSize(bmp.Get()).cx);
    DeleteFileA(wide.c_str());
    DeleteFileA(square.c_str());
}

TEST(SkinBitmap, MissingEmptyAndUndecodableFilesLeaveItEmpty)
{
    CSkinBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromFile(TempPath("sb_no_such_file.bmp").c_str(), 0));
    EXPECT_EQ(nullptr, bmp.Get());
    EXPECT_FALSE(bmp.LoadFromFile("", 0));
    EXPECT_FALSE(bmp.LoadFromFile(nullptr, 0));

    const std::string empty = TempPath("sb_empty.bmp"), junk = TempPath("sb_junk.bmp");
    WriteFileBytes(empty, "", 0);
    const char text[] = "this is not a picture of any kind, just some words in a file";
    WriteFileBytes(junk, text, sizeof(text));
    EXPECT_FALSE(bmp.LoadFromFile(empty.c_str(), 0));
    EXPECT_FALSE(bmp.LoadFromFile(junk.c_str(), 0));
    EXPECT_EQ(nullptr, bmp.Get());
    DeleteFileA(empty.c_str());
    DeleteFileA(junk.c_str());
}

} // namespace
