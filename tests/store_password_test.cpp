// The password dialogs on a real profile file: the dialogs run modally on
// the test's thread while a second thread types into them, presses their
// buttons and answers their message boxes.
#include "module/app.h"
#include "clock.h"
#include "config_override.h"
#include "files.h"
#include "product_texts.h"
#include "res/resource.h"
#include "store/password_dialogs.h"
#include "store/profile_names.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "window_finders.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

const std::string kChkPwdTitle = std::string(kProductName) + "\xC3\xDC\xC2\xEB"; // 保险箱密码
const std::string kSetPwdTitle = "\xC3\xDC\xC2\xEB\xC9\xE8\xD6\xC3";             // 密码设置
const char kResetCode[] = "Open4Sefra-ResetMe";                                  // 18 characters

// Window searches give up after ten seconds so a broken dialog fails the
// test instead of hanging it.
constexpr DWORD kWindowWaitMs = 10000;

HWND WaitDialog(const std::string &title)
{
    return ShownWindows().OfClass(kDialogClass).Titled(title.c_str()).WaitFor(kWindowWaitMs);
}

// How a box that reads text looks: its text, after "[stop] " when it shows
// the stop icon.
std::string StopBox(const char *text) { return std::string("[stop] ") + text; }
std::string PlainBox(const char *text) { return text; }

// Waits for the module's message box, answers it with OK and returns its
// look (as StopBox and PlainBox put it) once it is gone.
std::string AnswerBox()
{
    const HWND box = ModuleBoxes().WaitFor(kWindowWaitMs);
    if (!box)
        return "(no message box)";
    char text[256] = {};
    GetDlgItemTextA(box, kMessageBoxText, text, sizeof text);
    std::string look = text;
    const HICON stop = LoadIconA(nullptr, IDI_HAND);
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const HICON icon = reinterpret_cast<HICON>(SendMessageA(c, STM_GETICON, 0, 0));
        if (icon && IsWindowVisible(c))
            look = (icon == stop ? "[stop] " : "[icon] ") + look;
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    PollUntil([box] { return !IsWindow(box); }, kWindowWaitMs, 10);
    return look;
}

std::string ItemText(HWND dlg, int id)
{
    char text[256] = {};
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

// The edit has the focus of the dialog's thread and its whole text selected.
// The dialog's thread moves the focus once its message box has returned,
// which on a busy machine comes some time after the box is gone.
void ExpectSelectedEdit(HWND dlg, int id)
{
    const HWND edit = GetDlgItem(dlg, id);
    const DWORD thread = GetWindowThreadProcessId(dlg, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    PollUntil([&] { return GetGUIThreadInfo(thread, &info) && info.hwndFocus == edit; }, kWindowWaitMs, 10);
    EXPECT_EQ(edit, info.hwndFocus) << id;
    DWORD start = 1, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(0u, start);
    EXPECT_EQ(static_cast<DWORD>(GetWindowTextLengthA(edit)), end);
}

// Runs dlg modally while script drives it from another thread; whatever the
// script leaves open is cancelled.
INT_PTR RunDriven(CDialog &dlg, const std::string &title, std::function<void(HWND)> script)
{
    std::thread driver([&] {
        const HWND h = WaitDialog(title);
        if (!h) {
            ADD_FAILURE() << "dialog did not appear";
            return;
        }
        script(h);
        if (IsWindow(h))
            PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
    });
    const INT_PTR result = dlg.DoModal();
    driver.join();
    return result;
}

// Types the three edits of CSetPwd and presses Save; the answer is the text
// of the message box that follows.
std::string Save(HWND dlg, const char *oldPwd, const char *newPwd, const char *confirmPwd)
{
    SetDlgItemTextA(dlg, IDC_SETPWD_OLD, oldPwd);
    SetDlgItemTextA(dlg, IDC_SETPWD_NEW, newPwd);
    SetDlgItemTextA(dlg, IDC_SETPWD_CONFIRM, confirmPwd);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    return AnswerBox();
}

class PasswordDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hSefraboxInstance = GetModuleHandleA(nullptr);
        const std::string config = m_folder / "Platforms.ini";
        WriteText(config, std::string("[Service]\r\nResetCode=") + kResetCode + "\r\n");
        m_config = std::make_unique<CConfigOverride>(config);
        // Record 1 has no password, record 2 one of 8 characters.
        WriteText(Profile(), "[1]\r\nid=255\r\nTarget=MainSefra\r\nPassword=\r\n"
                             "[2]\r\nid=1\r\nTarget=WorkSefra\r\nPassword='secret12'\r\n");
    }

    std::string Profile() const { return m_folder / "Sefrabox.ini"; }

    // The profile's raw line of the record's password.
    std::string RawPassword(const char *record)
    {
        const std::string text = ReadText(Profile());
        const size_t section = text.find(std::string("[") + record + "]");
        const size_t key = text.find("Password=", section);
        if (section == std::string::npos || key == std::string::npos)
            return "(missing)";
        return text.substr(key, text.find_first_of("\r\n", key) - key);
    }

    // Points the main dialog at the profile with platform button selButton
    // chosen (0: none).
    void Select(CSefraboxDlg &main, int selButton)
    {
        main.StateForTests().m_szSefrabox = Profile();
        main.StateForTests().m_daRecord = {1, 2};
        main.StateForTests().m_nSelButton = selButton;
    }

    std::string Stored(CSefraboxDlg &main)
    {
        char buffer[kPasswordSize] = {};
        main.ReadSefraPassword(buffer, sizeof buffer);
        return buffer;
    }

    CScratchFolder m_folder;
    std::unique_ptr<CConfigOverride> m_config;
};

TEST_F(PasswordDialogs, CheckPasswordIgnoresCaseAndKeepsAskingAfterAWrongOne)
{
    CTraceCapture trace;
    for (const char *typed : {"WORK1", "wOrK1"}) {
        CChkPwd dlg(nullptr);
        dlg.SetInfo("work1", "Work");
        HWND seen = nullptr;
        EXPECT_EQ(IDOK, RunDriven(dlg, kChkPwdTitle,
                                  [&](HWND h) {
                                      seen = h;
                                      SetDlgItemTextA(h, IDC_CHKPWD_EDIT, typed);
                                      SendMessageA(h, WM_COMMAND, IDOK, 0);
                                  }))
            << typed;
        EXPECT_FALSE(IsWindow(seen));
    }
    EXPECT_TRUE(trace.Contains("CChkPwd::OnInitDialog()"));

    CChkPwd dlg(nullptr);
    dlg.SetInfo("work1", "Work");
    EXPECT_EQ(IDOK, RunDriven(dlg, kChkPwdTitle, [&](HWND h) {
                  EXPECT_EQ(FillText(kPasswordPromptFormat, {"Work"}), ItemText(h, IDC_CHKPWD_PROMPT));
                  EXPECT_NE(0, GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
                  EXPECT_EQ(8, SendDlgItemMessageA(h, IDC_CHKPWD_EDIT, EM_GETLIMITTEXT, 0, 0));

                  for (const char *wrong : {"work2", "work1x", ""}) {
                      SetDlgItemTextA(h, IDC_CHKPWD_EDIT, wrong);
                      PostMessageA(h, WM_COMMAND, IDOK, 0);
                      EXPECT_EQ(StopBox(kWrongPassword), AnswerBox()) << wrong;
                      ASSERT_TRUE(IsWindow(h));
                      ExpectSelectedEdit(h, IDC_CHKPWD_EDIT);
                  }
                  SetDlgItemTextA(h, IDC_CHKPWD_EDIT, "Work1");
                  SendMessageA(h, WM_COMMAND, IDOK, 0);
              }));

    CChkPwd cancelled(nullptr);
    cancelled.SetInfo("work1", "Work");
    EXPECT_EQ(IDCANCEL, RunDriven(cancelled, kChkPwdTitle, [](HWND) {}));
}

TEST_F(PasswordDialogs, FirstPasswordIsAddedWithoutOldOne)
{
    CSefraboxDlg main(nullptr);
    Select(main, IDC_PLATFORM1);
    char old[kPasswordSize] = {};
    EXPECT_EQ(0, main.ReadSefraPassword(old, sizeof old));
    EXPECT_STREQ("", old);

    CSetPwd dlg(nullptr);
    ASSERT_TRUE(dlg.SetInfo(old, &main));
    EXPECT_EQ(IDOK, RunDriven(dlg, kSetPwdTitle, [&](HWND h) {
                  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(h, IDC_SETPWD_OLD)));
                  EXPECT_EQ(8, SendDlgItemMessageA(h, IDC_SETPWD_NEW, EM_GETLIMITTEXT, 0, 0));
                  EXPECT_EQ(8, SendDlgItemMessageA(h, IDC_SETPWD_CONFIRM, EM_GETLIMITTEXT, 0, 0));
                  EXPECT_EQ(18, SendDlgItemMessageA(h, IDC_SETPWD_OLD, EM_GETLIMITTEXT, 0, 0));
                  // Whatever the disabled edit holds is not checked.
                  EXPECT_EQ(PlainBox(kPasswordAdded), Save(h, "junk", "new", "NEW"));
              }));
    EXPECT_EQ("Password='new'", RawPassword("1"));
    EXPECT_EQ("new", Stored(main));
    EXPECT_EQ("Password='secret12'", RawPassword("2"));
}

TEST_F(PasswordDialogs, ChangeNeedsOldPasswordOrExactResetCode)
{
    CSefraboxDlg main(nullptr);
    Select(main, IDC_PLATFORM2);
    char old[kPasswordSize] = {};
    EXPECT_EQ(8, main.ReadSefraPassword(old, sizeof old));
    EXPECT_STREQ("secret12", old);

    CTraceCapture trace;
    CSetPwd dlg(nullptr);
    ASSERT_TRUE(dlg.SetInfo(old, &main));
    EXPECT_EQ(IDOK, RunDriven(dlg, kSetPwdTitle, [&](HWND h) {
                  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_SETPWD_OLD)));
                  // Wrong, longer with the right first 8 characters, the reset
                  // code in another case: all refused, nothing written.
                  std::string lowerCode = kResetCode;
                  for (char &c : lowerCode)
                      c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
                  for (const std::string &wrong : {std::string("secret13"), std::string("SECRET12x"), lowerCode}) {
                      EXPECT_EQ(StopBox(kWrongOldPassword), Save(h, wrong.c_str(), "abc", "abc")) << wrong;
                      ASSERT_TRUE(IsWindow(h));
                      ExpectSelectedEdit(h, IDC_SETPWD_OLD);
                  }
                  EXPECT_EQ("Password='secret12'", RawPassword("2"));
                  // Right old password, confirmation differs.
                  EXPECT_EQ(PlainBox(kNewPasswordsDiffer), Save(h, "Secret12", "abc", "abd"));
                  ASSERT_TRUE(IsWindow(h));
                  ExpectSelectedEdit(h, IDC_SETPWD_NEW);
                  EXPECT_EQ("Password='secret12'", RawPassword("2"));
                  // Differing only in case: the new edit's text is stored.
                  EXPECT_EQ(PlainBox(kPasswordChanged), Save(h, "SECRET12", "AbC", "aBc"));
              }));
    EXPECT_TRUE(trace.Contains("m_lpOldPwd == m_szOldPwd"));
    EXPECT_EQ("Password='AbC'", RawPassword("2"));

    // The exact reset code replaces the old password; empty fields clear it.
    const std::string current = Stored(main);
    CSetPwd reset(nullptr);
    ASSERT_TRUE(reset.SetInfo(current.c_str(), &main));
    EXPECT_EQ(IDOK, RunDriven(reset, kSetPwdTitle,
                              [&](HWND h) { EXPECT_EQ(PlainBox(kPasswordChanged), Save(h, kResetCode, "", "")); }));
    EXPECT_EQ("Password=", RawPassword("2"));
    EXPECT_EQ("", Stored(main));
}

// A profile written elsewhere may hold a longer password: the old password
// matches it whole, as opening the sefra does, not by its first 8 bytes.
TEST_F(PasswordDialogs, LongerOldPasswordMustMatchWhole)
{
    CSefraboxDlg main(nullptr);
    Select(main, IDC_PLATFORM2);
    CSetPwd dlg(nullptr);
    ASSERT_TRUE(dlg.SetInfo("secret1234", &main));
    EXPECT_EQ(IDOK, RunDriven(dlg, kSetPwdTitle, [&](HWND h) {
                  EXPECT_EQ(StopBox(kWrongOldPassword), Save(h, "SECRET12zz", "abc", "abc"));
                  EXPECT_EQ("Password='secret12'", RawPassword("2"));
                  EXPECT_EQ(PlainBox(kPasswordChanged), Save(h, "SECRET1234", "abc", "abc"));
              }));
    EXPECT_EQ("Password='abc'", RawPassword("2"));
}

TEST_F(PasswordDialogs, NothingIsWrittenWithoutSelectionOrWithBadInput)
{
    CSefraboxDlg main(nullptr);
    Select(main, 0);
    char untouched[8];
    memset(untouched, 'z', sizeof untouched);
    EXPECT_EQ(0, main.ReadSefraPassword(untouched, sizeof untouched));
    EXPECT_EQ('z', untouched[0]);
    EXPECT_FALSE(main.SetPassword("x"));

    CTraceCapture trace;
    CSetPwd dlg(nullptr);
    ASSERT_TRUE(dlg.SetInfo("", &main));
    EXPECT_EQ(IDCANCEL, RunDriven(dlg, kSetPwdTitle, [&](HWND h) {
                  SetDlgItemTextA(h, IDC_SETPWD_NEW, "x");
                  SetDlgItemTextA(h, IDC_SETPWD_CONFIRM, "x");
                  SendMessageA(h, WM_COMMAND, IDOK, 0);
                  EXPECT_TRUE(IsWindow(h));
              }));
    EXPECT_TRUE(trace.Contains("SetPassword() failed!"));
    EXPECT_FALSE(trace.Contains("SetProfileParameter() failed!"));

    // Unreadable arguments are refused; a dialog without them never saves.
    CSetPwd bare(nullptr);
    EXPECT_FALSE(bare.SetInfo(nullptr, &main));
    EXPECT_FALSE(bare.SetInfo("", nullptr));
    EXPECT_FALSE(bare.SetInfo("", reinterpret_cast<CSefraboxDlg *>(16)));
    EXPECT_EQ(IDCANCEL, RunDriven(bare, kSetPwdTitle, [&](HWND h) {
                  SendMessageA(h, WM_COMMAND, IDOK, 0);
                  EXPECT_TRUE(IsWindow(h));
              }));
    EXPECT_TRUE(trace.Contains("m_lpOldPwd and m_pSefrabox is bad!"));

    // Too long, a button without a record, a profile that cannot be written.
    main.StateForTests().m_nSelButton = IDC_PLATFORM1;
    EXPECT_FALSE(main.SetPassword("123456789"));
    main.StateForTests().m_nSelButton = IDC_PLATFORM3;
    EXPECT_FALSE(main.SetPassword("x"));
    EXPECT_EQ("Password=", RawPassword("1"));
    EXPECT_EQ("Password='secret12'", RawPassword("2"));
    main.StateForTests().m_nSelButton = IDC_PLATFORM1;
    main.StateForTests().m_szSefrabox = m_folder / "missing\\Sefrabox.ini";
    EXPECT_FALSE(main.SetPassword("x"));
    EXPECT_TRUE(trace.Contains("SetFileAttributes() failed! "));
    EXPECT_TRUE(trace.Contains("SetProfileParameter() failed! "));
}

TEST_F(PasswordDialogs, ATextOverItsLimitSetByAnotherProgramFailsTheSaveInsteadOfBeingCut)
{
    CSefraboxDlg main(nullptr);
    Select(main, IDC_PLATFORM1);
    CTraceCapture trace;
    CSetPwd dlg(nullptr);
    ASSERT_TRUE(dlg.SetInfo("", &main));
    EXPECT_EQ(IDCANCEL, RunDriven(dlg, kSetPwdTitle, [&](HWND h) {
                  // Texts set from outside the edits are not held to their limit.
                  SetDlgItemTextA(h, IDC_SETPWD_NEW, "0123456789");
                  SetDlgItemTextA(h, IDC_SETPWD_CONFIRM, "0123456789");
                  DWORD_PTR unused = 0;
                  EXPECT_NE(0, SendMessageTimeoutA(h, WM_COMMAND, IDOK, 0, SMTO_NORMAL, 5000, &unused))
                      << "a message box came: " << AnswerBox();
                  EXPECT_TRUE(IsWindow(h));
              }));
    EXPECT_TRUE(trace.Contains("UpdateData() failed!"));
    EXPECT_EQ("Password=", RawPassword("1"));
}

TEST_F(PasswordDialogs, RowButtonOpensTheDialogForTheSelectedSefra)
{
    CSefraboxDlg main(nullptr);
    // No profile while the dialog starts, so its list stays empty.
    main.StateForTests().m_szSefrabox = m_folder / "none.ini";
    ASSERT_TRUE(main.Create());
    Select(main, IDC_PLATFORM2);
    ShowWindow(main, SW_SHOW);
    SetDlgItemTextA(main, IDC_PWD2, "typed");

    std::thread driver([&] {
        const HWND h = WaitDialog(kSetPwdTitle);
        if (!h) {
            ADD_FAILURE() << "dialog did not appear";
            return;
        }
        EXPECT_EQ("", ItemText(main, IDC_PWD2));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(h, IDC_SETPWD_OLD)));
        EXPECT_EQ(PlainBox(kPasswordChanged), Save(h, "secret12", "zz", "zz"));
    });
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_SETPWD2, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_SETPWD2)));
    driver.join();

    EXPECT_EQ(GetDlgItem(main, IDC_PWD2), GetFocus());
    EXPECT_EQ("Password='zz'", RawPassword("2"));

    // A password that cannot be read is no empty one: no dialog without
    // the old-password check, the user is told instead.
    main.StateForTests().m_szSefrabox = m_folder / "gone.ini";
    std::string box;
    std::thread answer([&] {
        box = AnswerBox();
        // Without the box the dialog came instead: closed, so the test ends.
        if (const HWND opened = box == "(no message box)" ? WaitDialog(kSetPwdTitle) : nullptr)
            PostMessageA(opened, WM_COMMAND, IDCANCEL, 0);
    });
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_SETPWD2, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_SETPWD2)));
    answer.join();
    EXPECT_EQ(StopBox(kOpenSefraFailed), box);
    main.DestroyWindow();
}

} // namespace
