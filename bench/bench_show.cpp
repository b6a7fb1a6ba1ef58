// bench_show.cpp - the show entry and the host's memory, measured in a
// fresh lean host process (sefrabox_bench_host.exe, see bench_host.cpp):
// SB_ShowDlg on the demo world's store against SB_ShowDlgNoInit, and the
// host's private bytes before it loads Sefrabox.dll, with the dialog shown,
// after it closed and over the visits.
#include "bench_rows.h"
#include "bench_util.h"
#include "machine/mount_lock.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr DWORD kShowTimeoutMs = 240000;
const char kHotKeyTarget[] = "<=2.00";

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

std::vector<BenchRow> BenchShowAndMemory(const DemoWorld &world, int visits)
{
    const std::string showName = "show entry", hotKey = "hot key to return", shown = "memory: dialog shown",
                      closed = "memory: after close", growth = Format("memory: visit %d vs 1", visits);
    if (world.folder.empty())
        return {NaRow(showName, "-", "no demo world"), NaRow(hotKey, kHotKeyTarget, "no demo world"),
                NaRow(shown, "-", "no demo world"), NaRow(closed, "-", "no demo world"),
                NaRow(growth, "1.00", "no demo world")};
    CConfigOverride config(world.Config());
    Progress("show entry and memory: %d visits of each entry", visits);
    const ChildRun run = RunQuiet(Format("%s %d", BinProgram("sefrabox_bench_host.exe").c_str(), visits), kShowTimeoutMs);
    const VisitFigures ours = ParseVisits(run.output, "show", visits);
    const VisitFigures bare = ParseVisits(run.output, "noinit", visits);
    const double before = atof(OutputValue(run.output, "before").c_str()) / 1024;
    const double loaded = atof(OutputValue(run.output, "loaded").c_str()) / 1024;
    std::vector<BenchRow> rows;
    if (run.timedOut || int(ours.ms.size()) != visits || int(bare.ms.size()) != visits || before <= 0) {
        const std::string reason = run.timedOut ? "the dialogs did not end in time" : "a dialog was never shown";
        return {NaRow(showName, "-", reason), NaRow(hotKey, kHotKeyTarget, reason), NaRow(shown, "-", reason),
                NaRow(closed, "-", reason), NaRow(growth, "1.00", reason)};
    }
    // The floor of the teardown: one poll period of its wait for the lock.
    std::vector<double> polls;
    for (int i = 0; i < 5; ++i) {
        const double t0 = NowMs();
        Sleep(kLockPollHandlerMs);
        polls.push_back(NowMs() - t0);
    }
    const std::string memoryHow = "committed private memory of the host (VirtualQuery)";
    return {CostRow(showName, Median(ours.ms), Median(bare.ms), "ms", "-",
                    Format("SB_ShowDlg (store mounted) vs SB_ShowDlgNoInit, call to dialog shown and painted; "
                           "median of %d; hot key to return %.0f vs %.0f ms",
                           visits, Median(ours.end), Median(bare.end))),
            CostRow(hotKey, Median(ours.end), Median(polls), "ms", kHotKeyTarget,
                    Format("Ctrl+Alt+Shift+L pressed (SendInput) on the SB_ShowDlg dialog to the entry's return, "
                           "median of %d (worst %.0f ms; SB_ShowDlgNoInit %.0f ms) vs one %u ms lock poll of the "
                           "teardown",
                           visits, Worst(ours.end), Median(bare.end), unsigned(kLockPollHandlerMs))),
            CostRow(shown, Median(ours.shown), before, "KiB", "-",
                    memoryHow + Format("; SB_ShowDlg dialog shown vs before loading the library (%.0f KiB once loaded)",
                                       loaded)),
            CostRow(closed, ours.closed.back(), before, "KiB", "-",
                    memoryHow + Format("; after the last of %d visits vs before loading", visits)),
            CostRow(growth, ours.closed.back(), ours.closed.front(), "KiB", "1.00",
                    Format("after visit %d vs after visit 1: %+.0f KiB; noinit visits: %+.0f KiB", visits,
                           ours.closed.back() - ours.closed.front(), bare.closed.back() - bare.closed.front()))};
}
