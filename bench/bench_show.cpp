// bench_show.cpp - the show entry and the host's memory, in a fresh child
// process that plays the suite's control program: its private bytes before
// it loads Sefrabox.dll, then SB_ShowDlg on the demo world's store a number
// of times (the time from the call to the dialog shown and painted, the
// private bytes while it shows and after it closed), then the bare
// SB_ShowDlgNoInit as often.
//
// "Shown and painted" is the first idle moment of the dialog's message loop
// after the dialog became visible (a 0 ms timer, which the loop delivers
// only after pending paints). The dialog is then ended through its hot key.
#include "Sefrabox.h"
#include "bench_rows.h"
#include "bench_util.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kShowTimeoutMs = 240000;
const char kTitle[] = "\xB1\xA3\xCF\xD5\xCF\xE4"; // 保险箱
constexpr WPARAM kHotKeyId = 0x1000;

using ShowDlgFn = int(__cdecl *)(const char *, int *, int *, CSefraboxDlg **);
using ShowNoInitFn = int(__cdecl *)(const char *);

struct Visit {
    double startMs = 0, visibleMs = -1, endAskedMs = 0;
    unsigned long long shownBytes = 0;
    HWND dialog = nullptr;
};
Visit g_visit;

void CALLBACK OnIdleAfterShow(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_visit.visibleMs = NowMs() - g_visit.startMs;
    g_visit.shownBytes = PrivateBytes();
    g_visit.endAskedMs = NowMs();
    PostMessageA(g_visit.dialog, WM_HOTKEY, kHotKeyId, MAKELPARAM(MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'L'));
}

LRESULT CALLBACK AfterWindowProc(int code, WPARAM w, LPARAM l)
{
    const auto *m = reinterpret_cast<const CWPRETSTRUCT *>(l);
    if (code == HC_ACTION && m->message == WM_SHOWWINDOW && m->wParam && !g_visit.dialog &&
        !(GetWindowLongA(m->hwnd, GWL_STYLE) & WS_CHILD)) {
        char title[16] = {};
        GetWindowTextA(m->hwnd, title, sizeof title);
        if (lstrcmpA(title, kTitle) == 0) {
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

struct VisitFigures {
    std::vector<double> ms, shown, closed, end;
};

VisitFigures ParseVisits(const std::string &output, const char *key, int visits)
{
    VisitFigures f;
    for (int i = 0; i < visits; ++i) {
        double ms = -1, shown = 0, closed = 0, end = 0;
        int result = 0;
        if (sscanf(OutputValue(output, Format("%s%d", key, i)).c_str(), "%lf %lf %lf %d %lf", &ms, &shown, &closed,
                   &result, &end) == 5 &&
            ms >= 0) {
            f.ms.push_back(ms);
            f.end.push_back(end);
            f.shown.push_back(shown / 1024);
            f.closed.push_back(closed / 1024);
        }
    }
    return f;
}

} // namespace

int ShowChild(int visits)
{
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

std::vector<BenchRow> BenchShowAndMemory(const World &world, int visits)
{
    const std::string showName = "show entry", shown = "memory: dialog shown", closed = "memory: after close",
                      growth = Format("memory: visit %d vs 1", visits);
    if (world.folder.empty())
        return {NaRow(showName, "-", "no demo world"), NaRow(shown, "-", "no demo world"),
                NaRow(closed, "-", "no demo world"), NaRow(growth, "1.00", "no demo world")};
    CConfigScope config(world.Config());
    Progress("show entry and memory: %d visits of each entry", visits);
    const ChildRun run = RunSelf(Format("--child show %d", visits), kShowTimeoutMs);
    const VisitFigures ours = ParseVisits(run.output, "show", visits);
    const VisitFigures bare = ParseVisits(run.output, "noinit", visits);
    const double before = atof(OutputValue(run.output, "before").c_str()) / 1024;
    std::vector<BenchRow> rows;
    if (run.timedOut || int(ours.ms.size()) != visits || int(bare.ms.size()) != visits || before <= 0) {
        const std::string reason = run.timedOut ? "the dialogs did not end in time" : "a dialog was never shown";
        return {NaRow(showName, "-", reason), NaRow(shown, "-", reason), NaRow(closed, "-", reason),
                NaRow(growth, "1.00", reason)};
    }
    const std::string memoryHow = "committed private memory of the host (VirtualQuery)";
    return {CostRow(showName, Median(ours.ms), Median(bare.ms), "ms", "-",
                    Format("SB_ShowDlg (store mounted) vs SB_ShowDlgNoInit, call to dialog shown and painted; "
                           "median of %d; hot key to return %.0f vs %.0f ms",
                           visits, Median(ours.end), Median(bare.end))),
            CostRow(shown, Median(ours.shown), before, "KiB", "-",
                    memoryHow + "; SB_ShowDlg dialog shown vs before loading the library"),
            CostRow(closed, ours.closed.back(), before, "KiB", "-",
                    memoryHow + Format("; after the last of %d visits vs before loading", visits)),
            CostRow(growth, ours.closed.back(), ours.closed.front(), "KiB", "1.00",
                    Format("after visit %d vs after visit 1: %+.0f KiB; noinit visits: %+.0f KiB", visits,
                           ours.closed.back() - ours.closed.front(), bare.closed.back() - bare.closed.front()))};
}
