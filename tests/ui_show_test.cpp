// ui_show_test.cpp - SB_ShowDlgNoInit through Sefrabox.dll's export: the text
// test, the dialog from the DLL's own resources, its end by hot key and by
// Cancel, and a hot key already held by someone else.
#include "Sefrabox.h"
#include "product_texts.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "window_finders.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kModifiers = MOD_ALT | MOD_CONTROL | MOD_SHIFT;

// Shows the dialog; drive runs from its loop with the dialog's window.
int Show(const char *text, std::function<void(HWND)> drive)
{
    RunFromLoop([drive] {
        const std::vector<HWND> dialogs = ThreadDialogs();
        ASSERT_EQ(1u, dialogs.size());
        drive(dialogs[0]);
    });
    return SB_ShowDlgNoInit(text);
}

TEST(ShowDlgNoInit, UnreadableTextIsRefusedWithoutADialog)
{
    EXPECT_EQ(2, SB_ShowDlgNoInit(reinterpret_cast<const char *>(1)));
    // Readable, but no terminator within 260 characters.
    std::string longText(400, 'x');
    longText[399] = '\0';
    EXPECT_EQ(2, SB_ShowDlgNoInit(longText.c_str()));
    EXPECT_TRUE(ThreadDialogs().empty());
}

TEST(ShowDlgNoInit, NullShowsTheDialogWhichTheHotKeyEndsWithZero)
{
    CTraceCapture trace;
    bool seen = false;
    EXPECT_EQ(0, Show(nullptr, [&seen](HWND hwnd) {
                  seen = WindowTitle(hwnd) == kProductName && IsWindowVisible(hwnd) &&
                         (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
                  // Reaches the dialog from outside its loop, as the system does.
                  PostHotKey(hwnd);
              }));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(trace.Contains("RegisterHotKey() Error."));
}

TEST(ShowDlgNoInit, AReadableTextShowsTheDialogTooAndCancelGivesTwo)
{
    EXPECT_EQ(2, Show("anything", [](HWND hwnd) { PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0); }));
}

TEST(ShowDlgNoInit, SecondDialogWithoutHotKeyOnlyLogs)
{
    // Another dialog of the suite holds Ctrl+Alt+Shift+L.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, kModifiers, 'L'));
    CTraceCapture trace;
    bool shown = false;
    const int result = Show(nullptr, [&shown](HWND hwnd) {
        shown = IsWindowVisible(hwnd) != FALSE;
        PostHotKey(hwnd);
    });
    UnregisterHotKey(nullptr, 1);
    EXPECT_TRUE(shown);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(trace.Contains("RegisterHotKey() Error."));
}

} // namespace
