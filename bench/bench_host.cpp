// bench_host.cpp - sefrabox_bench_host.exe, the lean host process of the
// benchmark's show-entry and memory figures: it plays the suite's control
// program, importing nothing of the library's until it loads Sefrabox.dll
// itself. It prints its private bytes before loading the library, then for
// SB_ShowDlg on the store of the configured world, visit by visit, the time
// from the call to the dialog shown and painted, its private bytes while the
// dialog shows and after it closed, the entry's result and the time from the
// end request to the return; then the same for the bare SB_ShowDlgNoInit.
//
//   sefrabox_bench_host.exe <visits>
//
// "Shown and painted" is the first idle moment of the dialog's message loop
// after the dialog became visible (a 0 ms timer, which the loop delivers
// only after pending paints). The dialog is then ended through its hot key,
// pressed as the keyboard would (SendInput), and the time from the key to
// the entry's return is the "hot key to return".
#include "Sefrabox.h"
#include "bench_util.h"
#include "bench_world.h"
#include "product_texts.h"

#include <cstdio>
#include <cstdlib>

namespace {

using ShowDlgFn = int(__cdecl *)(const char *, int *, int *, CSefraboxDlg **);
using ShowNoInitFn = int(__cdecl *)(const char *);

struct Visit {
    double startMs = 0, visibleMs = -1, endAskedMs = 0;
    unsigned long long shownBytes = 0;
    HWND dialog = nullptr;
};
Visit g_visit;

// Ctrl+Alt+Shift+L down and up again; the dialog's hot key fires on the L.
void PressHotKey()
{
    const WORD keys[] = {VK_CONTROL, VK_MENU, VK_SHIFT, 'L'};
    INPUT input[8] = {};
    for (int i = 0; i < 4; ++i) {
        input[i].type = input[7 - i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = input[7 - i].ki.wVk = keys[i];
        input[7 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    g_visit.endAskedMs = NowMs();
    SendInput(8, input, sizeof(INPUT));
}

void CALLBACK OnIdleAfterShow(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_visit.visibleMs = NowMs() - g_visit.startMs;
    g_visit.shownBytes = PrivateBytes();
    PressHotKey();
}

LRESULT CALLBACK AfterWindowProc(int code, WPARAM w, LPARAM l)
{
    const auto *m = reinterpret_cast<const CWPRETSTRUCT *>(l);
    if (code == HC_ACTION && m->message == WM_SHOWWINDOW && m->wParam && !g_visit.dialog &&
        !(GetWindowLongA(m->hwnd, GWL_STYLE) & WS_CHILD)) {
        char title[16] = {};
        GetWindowTextA(m->hwnd, title, sizeof title);
        if (lstrcmpA(title, kProductName) == 0) {
            g_visit.dialog = m->hwnd;
            SetTimer(nullptr, 0, 0, OnIdleAfterShow);
        }
    }
    return CallNextHookEx(nullptr, code, w, l);
}

template <typename Show> void RunVisits(const char *key, int visits, Show show)
{
    for (int i = 0; i < visits; ++i) {
        g_visit = Visit();
        g_visit.startMs = NowMs();
        const int result = show();
        const double endMs = NowMs() - g_visit.endAskedMs;
        printf("%s%d %.3f %llu %llu %d %.3f\n", key, i, g_visit.visibleMs, g_visit.shownBytes, PrivateBytes(), result,
               endMs);
        fflush(stdout);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const int visits = argc > 1 ? atoi(argv[1]) : 0;
    if (visits <= 0)
        return 87;
    const unsigned long long before = PrivateBytes();
    CSefraboxDll dll;
    auto showDlg = dll.Entry<ShowDlgFn>(SEFRABOX_ORD_SHOWDLG);
    auto showNoInit = dll.Entry<ShowNoInitFn>(SEFRABOX_ORD_SHOWDLGNOINIT);
    if (!showDlg || !showNoInit)
        return 1;
    printf("before %llu\nloaded %llu\n", before, PrivateBytes());
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterWindowProc, nullptr, GetCurrentThreadId());
    RunVisits("show", visits, [&] { return showDlg(nullptr, nullptr, nullptr, nullptr); });
    RunVisits("noinit", visits, [&] { return showNoInit(nullptr); });
    UnhookWindowsHookEx(hook);
    return 0;
}
