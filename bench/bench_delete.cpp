// bench_delete.cpp - DeleteSefra of a sefra full of small files against the
// command interpreter's "rd /s /q" of an identical tree beside it.
//
// DeleteSefra's time includes the store mount and unmount it does itself.
// The peer runs as a process: the interpreter's start-up, measured alone in
// the same run, is taken off its time.
#include "Sefrabox.h"
#include "bench_rows.h"
#include "bench_util.h"

namespace {

constexpr size_t kFileBytes = 64;
constexpr DWORD kRdTimeoutMs = 120000;
constexpr unsigned long kMainSefraId = 255;

using DeleteSefraFn = int(__cdecl *)(const char *, unsigned long);

struct DeleteFigures {
    bool ok = false;
    std::string reason;
    double ours = 0, peer = 0;
};

DeleteFigures MeasureOnce(DeleteSefraFn deleteSefra, const DemoWorld &world, size_t files, double cmdStartMs)
{
    DeleteFigures f;
    const std::string sefra = world.Sefra(kMainSefra);
    const std::string peerTree = world.Content() + "\\PeerTree";
    RemoveTree(sefra);
    RemoveTree(peerTree);
    Progress("delete: making two trees of %u files", unsigned(files));
    if (!MakeNestedTree(sefra, files, kFileBytes) || !MakeNestedTree(peerTree, files, kFileBytes)) {
        f.reason = "could not make the trees";
        return f;
    }
    Progress("delete: DeleteSefra");
    const double t0 = NowMs();
    const int result = deleteSefra(world.Store().c_str(), kMainSefraId);
    f.ours = NowMs() - t0;
    if (result != 0 || GetFileAttributesA(sefra.c_str()) != INVALID_FILE_ATTRIBUTES) {
        f.reason = Format("DeleteSefra returned %d", result);
        return f;
    }
    Progress("delete: rd /s /q");
    const ChildRun rd = RunQuiet("cmd.exe /c rd /s /q \"" + peerTree + "\"", kRdTimeoutMs);
    if (!rd.started || rd.timedOut || GetFileAttributesA(peerTree.c_str()) != INVALID_FILE_ATTRIBUTES) {
        f.reason = "rd /s /q did not remove the tree";
        return f;
    }
    f.peer = rd.ms - cmdStartMs;
    f.ok = true;
    return f;
}

std::string CountName(size_t files) { return Format("delete %u files", unsigned(files)); }

} // namespace

std::vector<BenchRow> BenchDelete(const DemoWorld &world, const std::vector<size_t> &counts)
{
    const std::string target = "<=1.10";
    auto growthName = [&](size_t i) {
        return Format("delete growth %u->%u", unsigned(counts[i - 1]), unsigned(counts[i]));
    };
    // The rows of each count, then the growth between neighbouring counts.
    auto allNa = [&](const std::string &reason) {
        std::vector<BenchRow> rows;
        for (size_t count : counts)
            rows.push_back(NaRow(CountName(count), target, reason));
        for (size_t i = 1; i < counts.size(); ++i)
            rows.push_back(NaRow(growthName(i), "linear", reason));
        return rows;
    };
    CSefraboxDll dll;
    auto deleteSefra = dll.Entry<DeleteSefraFn>(SEFRABOX_ORD_DELETESEFRA);
    if (!deleteSefra || world.folder.empty() || counts.size() < 2)
        return allNa("no library or demo world");
    CConfigOverride config(world.Config());

    std::vector<double> cmdStarts;
    for (int i = 0; i < 3; ++i)
        cmdStarts.push_back(RunQuiet("cmd.exe /c rem", kRdTimeoutMs).ms);
    const double cmdStartMs = Median(cmdStarts);
    const std::string how = Format("DeleteSefra vs cmd /c rd /s /q; 64-byte files, 10 a folder; cmd start-up %.0f ms "
                                   "taken off",
                                   cmdStartMs);

    // The smallest tree three times (median), the others once.
    std::vector<BenchRow> rows;
    std::vector<DeleteFigures> figures;
    for (size_t c = 0; c < counts.size(); ++c) {
        const int runs = c == 0 ? 3 : 1;
        std::vector<double> ours, peer;
        DeleteFigures f;
        for (int i = 0; i < runs && (i == 0 || f.ok); ++i) {
            f = MeasureOnce(deleteSefra, world, counts[c], cmdStartMs);
            ours.push_back(f.ours);
            peer.push_back(f.peer);
        }
        f.ours = Median(ours);
        f.peer = Median(peer);
        figures.push_back(f);
        if (!f.ok)
            rows.push_back(NaRow(CountName(counts[c]), target, f.reason));
        else
            rows.push_back(CostRow(CountName(counts[c]), f.ours, f.peer, "ms", target,
                                   how + (runs > 1 ? "; median of 3" : "; one run")));
    }
    for (size_t i = 1; i < counts.size(); ++i) {
        const DeleteFigures &a = figures[i - 1], &b = figures[i];
        if (!a.ok || !b.ok || a.ours <= 0 || a.peer <= 0) {
            rows.push_back(NaRow(growthName(i), "linear", "a delete row is n/a"));
            continue;
        }
        const double growth = double(counts[i]) / double(counts[i - 1]);
        rows.push_back(CostRow(
            growthName(i), b.ours / a.ours, b.peer / a.peer, "x", "linear",
            Format("time(%u)/time(%u); linear is %.0fx", unsigned(counts[i]), unsigned(counts[i - 1]), growth)));
    }
    RemoveTree(world.Sefra(kMainSefra));
    MakeFolder(world.Sefra(kMainSefra));
    return rows;
}
