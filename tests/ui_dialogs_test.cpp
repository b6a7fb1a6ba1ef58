// ui_dialogs_test.cpp - the progress windows, the restart dialog and the main
// dialog, run as real windows and driven by messages from inside their
// message loops.
#include "module/app.h"
#include "product_texts.h"
#include "res/resource.h"
#include "ui/progress_dlgs.h"
#include "ui/restart_dlg.h"
#include "ui/sefrabox_dlg.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "win/dispatch.h"

#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The one visible dialog of this thread made from template id.
HWND ThreadDialog(UINT id)
{
    for (HWND h : ThreadDialogs())
        if (CDialog *dlg = CDialog::FromHandle(h))
            if (dlg->GetTemplateId() == id)
                return h;
    return nullptr;
}

constexpr LANGID kSimplifiedChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
constexpr LANGID kTraditionalChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);

// A control's rectangle in its dialog's client coordinates.
RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

// Presses and releases the left mouse button at the centre of control, as
// a person's mouse does (through the display's input); false, without a
// click, when another window shows there.
bool ClickAtCentre(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (WindowFromPoint(centre) != control) {
        ADD_FAILURE() << "another window shows at the centre of control " << GetDlgCtrlID(control);
        return false;
    }
    INPUT input[3] = {};
    for (INPUT &i : input) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(centre.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        i.mi.dy = MulDiv(centre.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    input[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    return SendInput(3, input, sizeof(INPUT)) == 3;
}

class UiDialogs : public ::testing::Test {
protected:
    void SetUp() override { g_hSefraboxInstance = GetModuleHandleA(nullptr); }
};

// Everything that would close an ordinary dialog, aimed at a modeless one.
void TryToClose(HWND hwnd)
{
    PostKey(hwnd, VK_RETURN);
    PostKey(hwnd, VK_ESCAPE);
    if (HWND ok = GetDlgItem(hwnd, IDOK))
        PostKey(ok, VK_RETURN);
    PumpPending();
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    SendMessageA(hwnd, WM_COMMAND, IDOK, 0);
    SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    if (HWND ok = GetDlgItem(hwnd, IDOK))
        SendMessageA(ok, BM_CLICK, 0, 0);
    PumpPending();
}

TEST_F(UiDialogs, EscapeClosesAnOrdinaryModelessDialog)
{
    // The same template without the progress window's routing: shows that
    // the keys of the next test really reach the dialog.
    CDialog plain(IDD_CHECKING, nullptr);
    ASSERT_TRUE(plain.Create());
    plain.ShowWindow(SW_SHOWNOACTIVATE);
    PostKey(plain.GetSafeHwnd(), VK_ESCAPE);
    PumpPending();
    EXPECT_FALSE(plain.IsWindow());
}

TEST_F(UiDialogs, ProgressWindowsStayOpenOnEnterEscapeAndClose)
{
    CCheckingDlg checking;
    COpeningDlg opening;
    ASSERT_TRUE(checking.Create());
    ASSERT_TRUE(opening.Create());
    checking.ShowWindow(SW_SHOWNOACTIVATE);
    opening.ShowWindow(SW_SHOWNOACTIVATE);
    // The checking window's OK and Cancel exist but are hidden.
    ASSERT_TRUE(checking.GetDlgItem(IDOK));
    EXPECT_FALSE(IsWindowVisible(checking.GetDlgItem(IDOK)));
    EXPECT_FALSE(IsWindowVisible(checking.GetDlgItem(IDCANCEL)));

    TryToClose(checking.GetSafeHwnd());
    TryToClose(opening.GetSafeHwnd());
    EXPECT_TRUE(checking.IsWindow());
    EXPECT_TRUE(opening.IsWindow());

    // Their owners end them.
    opening.EndDialog(IDCANCEL);
    checking.DestroyWindow();
    EXPECT_FALSE(opening.IsWindow());
    EXPECT_FALSE(checking.IsWindow());
}

int RunRestart(std::function<void(HWND)> drive)
{
    RunFromLoop([drive] {
        HWND dlg = ThreadDialog(IDD_RESTART);
        ASSERT_TRUE(dlg);
        drive(dlg);
    });
    CRestartDlg restart(nullptr);
    return static_cast<int>(restart.DoModal());
}

TEST_F(UiDialogs, RestartDialogReturnsItsButtonsAndCancel)
{
    EXPECT_EQ(IDC_RESTART, RunRestart([](HWND dlg) { SendMessageA(GetDlgItem(dlg, IDC_RESTART), BM_CLICK, 0, 0); }));
    EXPECT_EQ(IDC_TURNOFF, RunRestart([](HWND dlg) { SendMessageA(GetDlgItem(dlg, IDC_TURNOFF), BM_CLICK, 0, 0); }));
    EXPECT_EQ(IDCANCEL, RunRestart([](HWND dlg) { SendMessageA(GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0); }));
    // Enter is ignored: the Escape behind it decides the result.
    EXPECT_EQ(IDCANCEL, RunRestart([](HWND dlg) {
                  PostKey(dlg, VK_RETURN);
                  PostMessageA(dlg, WM_COMMAND, IDOK, 0);
                  PostKey(dlg, VK_ESCAPE);
              }));
}

TEST_F(UiDialogs, RestartDialogButtonsAreSkinnedAndWorkWithoutBackground)
{
    EXPECT_EQ(IDC_TURNOFF, RunRestart([](HWND dlg) {
                  EXPECT_EQ(BS_OWNERDRAW, GetWindowLongA(GetDlgItem(dlg, IDC_RESTART), GWL_STYLE) & BS_TYPEMASK);
                  EXPECT_EQ(BS_OWNERDRAW, GetWindowLongA(GetDlgItem(dlg, IDC_TURNOFF), GWL_STYLE) & BS_TYPEMASK);
                  // Without bitmap resource 2209 the paint draws nothing of its own.
                  g_hSefraboxInstance = GetModuleHandleA("kernel32.dll");
                  InvalidateRect(dlg, nullptr, TRUE);
                  UpdateWindow(dlg);
                  g_hSefraboxInstance = GetModuleHandleA(nullptr);
                  SendMessageA(GetDlgItem(dlg, IDC_TURNOFF), BM_CLICK, 0, 0);
              }));
}

// ---------------------------------------------------------------- main dialog

class MainDialog : public UiDialogs {
protected:
    // Runs the dialog; drive runs from its loop once it is up.
    INT_PTR Run(CSefraboxDlg &dlg, std::function<void(HWND)> drive)
    {
        RunFromLoop([drive] {
            HWND hwnd = ThreadDialog(IDD_SEFRABOX);
            ASSERT_TRUE(hwnd);
            drive(hwnd);
        });
        return dlg.DoModal();
    }
};

TEST_F(MainDialog, InitialisesTitleTaskbarButtonAndHotKeyAndEndsWithTheHotKey)
{
    CTraceCapture trace;
    CSefraboxDlg dlg(nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, dlg.StateForTests().m_hPlatformChannel.Get());
    EXPECT_EQ(INVALID_HANDLE_VALUE, dlg.StateForTests().m_hVolume.Get());
    EXPECT_EQ(nullptr, dlg.StateForTests().m_pnResult);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), dlg.StateForTests().m_brCtlColor.Get());
    const INT_PTR result = Run(dlg, [&dlg](HWND hwnd) {
        EXPECT_EQ(kProductName, CWindow::GetWindowTextOf(hwnd));
        EXPECT_TRUE(GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        EXPECT_NE(0u, dlg.StateForTests().m_ulNotifyID) << "shell change notification registered";
        // The dialog holds Ctrl+Alt+Shift+L: nobody else gets it now.
        EXPECT_FALSE(RegisterHotKey(nullptr, 77, kHotKeyModifiers, kHotKeyVirtualKey));
        // Only the row of a chosen platform shows; everything else starts hidden.
        for (int id = IDC_PLATFORM1; id <= IDC_SETPWD3; ++id)
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, id))) << id;
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(hwnd, IDCANCEL)));
        // Other hot-key ids and a disabled dialog ignore the hot key.
        SendMessageA(hwnd, WM_HOTKEY, kHotKeyId + 1, 0);
        EnableWindow(hwnd, FALSE);
        SendMessageA(hwnd, WM_HOTKEY, kHotKeyId, 0);
        EnableWindow(hwnd, TRUE);
        EXPECT_EQ(0, dlg.StateForTests().m_bClosedByHotKey);
        PostMessageA(hwnd, WM_HOTKEY, kHotKeyId, MAKELPARAM(kHotKeyModifiers, kHotKeyVirtualKey));
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(1, dlg.StateForTests().m_bClosedByHotKey);
    EXPECT_FALSE(trace.Contains("RegisterHotKey() Error."));
    EXPECT_TRUE(RegisterHotKey(nullptr, 78, kHotKeyModifiers, kHotKeyVirtualKey)) << "lapses with the window";
    UnregisterHotKey(nullptr, 78);
}

// A control is where a person sees and clicks it. With the platform buttons
// shown (as for three sefras) and each row opened in turn, every shown
// control lies inside the frameless window's rounded shape, clear of every
// other control and on top at its centre; a row's edit, arrow and
// set-password button stand beside its own platform button, left to right;
// a real click at the centre of a platform button opens its row, one at the
// centre of its edit puts the caret there. The dialog is the size of its
// background picture. Both languages' templates.
TEST_F(MainDialog, EveryControlIsWhereAPersonSeesAndClicksIt)
{
    const LCID before = GetThreadLocale();
    for (const LANGID language : {kSimplifiedChinese, kTraditionalChinese}) {
        SCOPED_TRACE(language == kSimplifiedChinese ? "simplified" : "traditional");
        SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
        CSefraboxDlg dlg(nullptr);
        Run(dlg, [&](HWND hwnd) {
            EXPECT_EQ(language == kSimplifiedChinese ? kProductName : kProductNameTraditional,
                      CWindow::GetWindowTextOf(hwnd));
            RECT client{}, window{};
            GetClientRect(hwnd, &client);
            GetWindowRect(hwnd, &window);
            EXPECT_EQ(window.right - window.left, client.right) << "a frame";
            EXPECT_EQ(window.bottom - window.top, client.bottom) << "a frame";
            BITMAP picture{};
            GetObjectA(dlg.StateForTests().m_hBackBitmap.Get(), sizeof picture, &picture);
            EXPECT_EQ(picture.bmWidth, client.right);
            EXPECT_EQ(picture.bmHeight, client.bottom);
            CRgnObject shape(CreateRectRgn(0, 0, 0, 0));
            ASSERT_NE(ERROR, GetWindowRgn(hwnd, shape.Get()));
            SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

            for (int id = IDC_PLATFORM1; id <= IDC_PLATFORM3; ++id)
                ShowWindow(GetDlgItem(hwnd, id), SW_SHOW);
            for (int row = 0; row < 3; ++row) {
                const HWND platform = GetDlgItem(hwnd, IDC_PLATFORM1 + row);
                ASSERT_TRUE(ClickAtCentre(platform));
                const HWND edit = GetDlgItem(hwnd, IDC_PWD1 + row);
                ASSERT_TRUE(PumpDialogsUntil([&] { return IsWindowVisible(edit) != FALSE; }, 15000))
                    << "a click on platform button " << row + 1 << " did not open its row";
                EXPECT_TRUE(ClickAtCentre(edit));
                EXPECT_TRUE(PumpDialogsUntil([&] { return GetFocus() == edit; }, 15000)) << row;

                std::vector<std::pair<int, RECT>> shown;
                for (int id : {IDC_PLATFORM1, IDC_PLATFORM2, IDC_PLATFORM3, IDC_PWD1 + row, IDC_ENTER1 + row,
                               IDC_SETPWD1 + row, IDCANCEL}) {
                    const HWND ctl = GetDlgItem(hwnd, id);
                    ASSERT_TRUE(IsWindowVisible(ctl)) << id;
                    const RECT r = ClientRectOf(hwnd, ctl);
                    const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                        << id << " reaches outside the dialog";
                    EXPECT_TRUE(PtInRegion(shape.Get(), r.left, r.top) &&
                                PtInRegion(shape.Get(), r.right - 1, r.bottom - 1))
                        << id << " is cut by the window's shape";
                    EXPECT_EQ(ctl, ChildWindowFromPointEx(hwnd, centre, CWP_SKIPINVISIBLE)) << id << " is covered";
                    for (const auto &other : shown) {
                        RECT both{};
                        EXPECT_FALSE(IntersectRect(&both, &r, &other.second)) << id << " overlaps " << other.first;
                    }
                    shown.emplace_back(id, r);
                }
                const RECT button = ClientRectOf(hwnd, platform);
                int left = button.right;
                for (int id : {IDC_PWD1 + row, IDC_ENTER1 + row}) {
                    const RECT r = ClientRectOf(hwnd, GetDlgItem(hwnd, id));
                    EXPECT_GE(r.left, left) << id << " is not right of what comes before it in its row";
                    left = r.right;
                }
                for (int id : {IDC_PWD1 + row, IDC_ENTER1 + row, IDC_SETPWD1 + row}) {
                    const RECT r = ClientRectOf(hwnd, GetDlgItem(hwnd, id));
                    EXPECT_GE(r.left, button.right) << id;
                    EXPECT_TRUE(r.top >= button.top && r.bottom <= button.bottom) << id << " is beside another row";
                }
            }
            PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
    }
    SetThreadLocale(before);
}

TEST_F(MainDialog, HotKeyHeldElsewhereIsLoggedAndTheDialogRunsWithoutIt)
{
    ASSERT_TRUE(RegisterHotKey(nullptr, 79, kHotKeyModifiers, kHotKeyVirtualKey));
    CTraceCapture trace;
    CSefraboxDlg dlg(nullptr);
    const INT_PTR result = Run(dlg, [](HWND hwnd) { PostMessageA(hwnd, WM_HOTKEY, kHotKeyId, 0); });
    UnregisterHotKey(nullptr, 79);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(trace.Contains("RegisterHotKey() Error."));
}

TEST_F(MainDialog, PasswordEditsTakeAtMostEightBytes)
{
    CSefraboxDlg dlg(nullptr);
    const INT_PTR result = Run(dlg, [&dlg](HWND hwnd) {
        // Typed, each edit takes 8 characters and shows none of them.
        for (int id = IDC_PWD1; id <= IDC_PWD3; ++id) {
            const HWND edit = GetDlgItem(hwnd, id);
            EXPECT_NE(0, SendMessageA(edit, EM_GETPASSWORDCHAR, 0, 0)) << id;
            for (char c = 'a'; c < 'a' + 12; ++c)
                SendMessageA(edit, WM_CHAR, c, 0);
            EXPECT_EQ(8, GetWindowTextLengthA(edit)) << id;
        }
        // Set programmatically past the limit: the exchange fails instead of
        // cutting, and the text stays out of its member; 8 bytes pass.
        SetWindowTextA(GetDlgItem(hwnd, IDC_PWD2), "123456789012");
        EXPECT_FALSE(dlg.UpdateData(true));
        EXPECT_EQ("abcdefgh", dlg.StateForTests().m_szPwd1);
        EXPECT_EQ("", dlg.StateForTests().m_szPwd2);
        SetWindowTextA(GetDlgItem(hwnd, IDC_PWD2), "12345678");
        SetWindowTextA(GetDlgItem(hwnd, IDC_PWD3), "a\xC3\xDC\xC2\xEB\xC3\xDC\xC2\xEB"); // a密码密码
        EXPECT_FALSE(dlg.UpdateData(true));
        SetWindowTextA(GetDlgItem(hwnd, IDC_PWD3), "a\xC3\xDC\xC2\xEB\xC3\xDC"); // a密码密
        EXPECT_TRUE(dlg.UpdateData(true));
        EXPECT_EQ("12345678", dlg.StateForTests().m_szPwd2);
        EXPECT_EQ("a\xC3\xDC\xC2\xEB\xC3\xDC", dlg.StateForTests().m_szPwd3);
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(MainDialog, PlatformButtonsOpenOneRowAndBackgroundClicksFoldIt)
{
    CSefraboxDlg dlg(nullptr);
    const INT_PTR result = Run(dlg, [&dlg](HWND hwnd) {
        auto visible = [hwnd](int id) { return IsWindowVisible(GetDlgItem(hwnd, id)) != FALSE; };
        auto click = [hwnd](int id) {
            SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, id)));
        };
        click(IDC_PLATFORM1);
        EXPECT_TRUE(visible(IDC_PWD1) && visible(IDC_ENTER1) && visible(IDC_SETPWD1));
        SetWindowTextA(GetDlgItem(hwnd, IDC_PWD1), "secret");
        click(IDC_PLATFORM2);
        EXPECT_EQ(IDC_PLATFORM2, dlg.StateForTests().m_nSelButton);
        EXPECT_FALSE(visible(IDC_PWD1) || visible(IDC_ENTER1) || visible(IDC_SETPWD1));
        EXPECT_EQ(0, GetWindowTextLengthA(GetDlgItem(hwnd, IDC_PWD1)));
        EXPECT_TRUE(visible(IDC_PWD2) && visible(IDC_ENTER2) && visible(IDC_SETPWD2));
        EXPECT_EQ(GetDlgItem(hwnd, IDC_PWD2), GetFocus());

        SetWindowTextA(GetDlgItem(hwnd, IDC_PWD2), "secret");
        SendMessageA(hwnd, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 200));
        EXPECT_FALSE(visible(IDC_PWD2) || visible(IDC_ENTER2) || visible(IDC_SETPWD2));
        EXPECT_EQ(0, GetWindowTextLengthA(GetDlgItem(hwnd, IDC_PWD2)));
        EXPECT_EQ(IDC_PLATFORM2, dlg.StateForTests().m_nSelButton) << "the choice stays";
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(MainDialog, CancelWithResultWordAsksTheRestartDialog)
{
    CSefraboxDlg dlg(nullptr);
    int word = 7;
    dlg.StateForTests().m_pnResult = &word;
    bool sawRestart = false, backAfterCancel = false;
    const INT_PTR result = Run(dlg, [&](HWND hwnd) {
        RunFromLoop([&, hwnd] {
            // Inside the restart dialog's loop; the main dialog is hidden.
            HWND restart = ThreadDialog(IDD_RESTART);
            sawRestart = restart != nullptr && !IsWindowVisible(hwnd);
            RunFromLoop([&, hwnd] {
                // Back in the main dialog after Cancel: still open, word 0.
                backAfterCancel = IsWindowVisible(hwnd) && word == 0;
                word = 5;
                RunFromLoop([] { SendMessageA(GetDlgItem(ThreadDialog(IDD_RESTART), IDC_RESTART), BM_CLICK, 0, 0); });
                PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
            });
            if (restart)
                PostMessageA(restart, WM_COMMAND, IDCANCEL, 0);
        });
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(sawRestart);
    EXPECT_TRUE(backAfterCancel);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(0, word);
}

TEST_F(MainDialog, PaintsARoundedWindowWithTheBackgroundItHas)
{
    CSefraboxDlg dlg(nullptr);
    Run(dlg, [&dlg](HWND hwnd) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
        ASSERT_TRUE(dlg.StateForTests().m_hBackBitmap);
        if (dlg.StateForTests().m_bmpBack.Get()) {
            EXPECT_EQ(dlg.StateForTests().m_bmpBack.Get(), dlg.StateForTests().m_hBackBitmap.Get());
        }
        BITMAP bm{};
        GetObjectA(dlg.StateForTests().m_hBackBitmap.Get(), sizeof(bm), &bm);
        EXPECT_GT(bm.bmWidth, 300);
        CRgnObject rgn(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(COMPLEXREGION, GetWindowRgn(hwnd, rgn.Get())) << "rounded corners";
        // Labels on the picture, edits in their own colours.
        CClientDC dc(hwnd);
        const HWND edit = GetDlgItem(hwnd, IDC_PWD1);
        EXPECT_NE(dlg.StateForTests().m_brCtlColor.Get(),
                  reinterpret_cast<HBRUSH>(SendMessageA(hwnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.Get()),
                                                        reinterpret_cast<LPARAM>(edit))));
        EXPECT_EQ(dlg.StateForTests().m_brCtlColor.Get(),
                  reinterpret_cast<HBRUSH>(SendMessageA(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                                                        reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)))));
        EXPECT_EQ(RGB(70, 70, 70), GetTextColor(dc.Get()));
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(MainDialog, LoadsTheBackgroundFileAndPaintsResource1123WithoutIt)
{
    // The build puts SefraboxBack.bmp beside the programs.
    CSefraboxDlg withFile(nullptr);
    ASSERT_TRUE(withFile.StateForTests().m_bmpBack.Get());
    BITMAP bm{};
    GetObjectA(withFile.StateForTests().m_bmpBack.Get(), sizeof(bm), &bm);
    EXPECT_EQ(380, bm.bmWidth);
    EXPECT_EQ(532, bm.bmHeight);

    CSefraboxDlg dlg(nullptr);
    dlg.StateForTests().m_bmpBack.Reset(); // as if the file were missing
    CBitmapObject resource(LoadBitmapA(g_hSefraboxInstance, MAKEINTRESOURCEA(IDB_BACKGROUND)));
    ASSERT_TRUE(resource);
    Run(dlg, [&](HWND hwnd) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_TRUE(dlg.StateForTests().m_hBackBitmap);
        CClientDC screen(nullptr);
        CMemoryDC mem(screen.Get());
        CSelectObject select(mem.Get(), resource.Get());
        CClientDC dc(hwnd);
        for (POINT p : {POINT{20, 300}, POINT{60, 40}, POINT{200, 500}})
            EXPECT_EQ(GetPixel(mem.Get(), p.x, p.y), GetPixel(dc.Get(), p.x, p.y)) << p.x << "," << p.y;
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(MainDialog, DispatchAnswersItsEventInterfacesAndIds)
{
    CSefraboxDlg dlg(nullptr);
    IDispatch *disp = dlg.GetIDispatch();
    const IID browserEvents = DIID_DWebBrowserEvents2, windowsEvents = DIID_DShellWindowsEvents;
    void *p = nullptr;
    EXPECT_EQ(S_OK, disp->QueryInterface(browserEvents, &p));
    EXPECT_EQ(static_cast<void *>(disp), p);
    EXPECT_EQ(S_OK, disp->QueryInterface(windowsEvents, &p));
    EXPECT_EQ(E_NOINTERFACE, disp->QueryInterface(IID_IOleObject, &p));
    disp->Release();
    disp->Release();

    CTraceCapture trace;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    V_VT(&args[0]) = VT_BOOL | VT_BYREF; // the last argument comes first
    V_BOOLREF(&args[0]) = &cancel;
    V_VT(&args[1]) = VT_BOOL;
    V_BOOL(&args[1]) = VARIANT_FALSE;
    DISPPARAMS params{args, nullptr, 2, 0};
    EXPECT_EQ(S_OK,
              disp->Invoke(DISPID_WINDOWCLOSING, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
    EXPECT_EQ(VARIANT_FALSE, cancel) << "the window still closes";
    EXPECT_TRUE(trace.Contains("CSefraboxDlg::WindowClosing()"));
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              disp->Invoke(1234, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, dlg.GetRefCount());
}

TEST_F(MainDialog, CallersWindowStaysDisabledWhileTheReparentedDialogRuns)
{
    // A caller's top-level window, as SB_ShowDlgWithParent passes one.
    HWND caller =
        CreateWindowExA(0, "STATIC", "caller", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(caller);
    CSefraboxDlg dlg(caller);
    bool callerDisabled = false, appWindow = false, topLevel = false;
    Run(dlg, [&](HWND hwnd) {
        callerDisabled = !IsWindowEnabled(caller);
        appWindow = (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0;
        topLevel = GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow();
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(callerDisabled);
    EXPECT_TRUE(appWindow);
    EXPECT_TRUE(topLevel);
    EXPECT_TRUE(IsWindowEnabled(caller));
    DestroyWindow(caller);
}

// An event source with one connection point, kept on the stack.
class CFakeSource : public IConnectionPointContainer, public IConnectionPoint {
public:
    explicit CFakeSource(REFIID iid) : m_iid(iid) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPointContainer))
            *ppv = static_cast<IConnectionPointContainer *>(this);
        else if (IsEqualIID(iid, IID_IConnectionPoint))
            *ppv = static_cast<IConnectionPoint *>(this);
        else
            return *ppv = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint **pp) override
    {
        if (!IsEqualIID(iid, m_iid))
            return *pp = nullptr, CONNECT_E_NOCONNECTION;
        *pp = this;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID *iid) override { return *iid = m_iid, S_OK; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown *sink, DWORD *cookie) override
    {
        if (m_sink)
            return CONNECT_E_ADVISELIMIT;
        HRESULT hr = sink->QueryInterface(m_iid, reinterpret_cast<void **>(&m_sink));
        if (FAILED(hr))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++m_cookie;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        if (!m_sink || cookie != m_cookie)
            return CONNECT_E_NOCONNECTION;
        m_sink->Release();
        m_sink = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections **) override { return E_NOTIMPL; }
    HRESULT Fire(DISPID id, DISPPARAMS *params)
    {
        return m_sink ? m_sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, params, nullptr, nullptr, nullptr) : S_FALSE;
    }

private:
    IID m_iid;
    IDispatch *m_sink = nullptr;
    DWORD m_cookie = 40;
};

TEST_F(MainDialog, ConnectsToAnEventSourceAndDisconnects)
{
    CSefraboxDlg dlg(nullptr);
    CFakeSource source(DIID_DWebBrowserEvents2);
    IUnknown *src = static_cast<IConnectionPointContainer *>(&source);
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, ConnectionAdvise(src, DIID_DWebBrowserEvents2, dlg.GetIDispatch(), &cookie));
    EXPECT_EQ(41u, cookie);
    EXPECT_EQ(1u, dlg.GetRefCount()) << "the source holds the sink";

    CTraceCapture trace;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[2];
    V_VT(&args[0]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[0]) = &cancel;
    V_VT(&args[1]) = VT_BOOL;
    V_BOOL(&args[1]) = VARIANT_TRUE;
    DISPPARAMS params{args, nullptr, 2, 0};
    EXPECT_EQ(S_OK, source.Fire(DISPID_WINDOWCLOSING, &params));
    EXPECT_TRUE(trace.Contains("CSefraboxDlg::WindowClosing()"));

    EXPECT_EQ(S_OK, ConnectionUnadvise(src, DIID_DWebBrowserEvents2, cookie));
    EXPECT_EQ(0u, dlg.GetRefCount());
    EXPECT_EQ(CONNECT_E_NOCONNECTION, ConnectionUnadvise(src, DIID_DWebBrowserEvents2, cookie));

    // No such connection point, and an object that has none at all.
    DWORD other = 5;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, ConnectionAdvise(src, DIID_DShellWindowsEvents, dlg.GetIDispatch(), &other));
    EXPECT_EQ(0u, other);
    EXPECT_EQ(E_NOINTERFACE, ConnectionAdvise(dlg.GetIDispatch(), DIID_DWebBrowserEvents2, dlg.GetIDispatch(), &other));
    EXPECT_EQ(0u, dlg.GetRefCount());
}

} // namespace
