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

DeleteFigures MeasureOnce(DeleteSefraFn deleteSefra, const World &world, size_t files, double cmdStartMs)
{
    DeleteFigures f;
    const std::string sefra = world.MainSefra();
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
    const ChildRun rd = RunChild("cmd.exe /c rd /s /q \"" + peerTree + "\"", kRdTimeoutMs);
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

std::vector<BenchRow> BenchDelete(const World &world, size_t smallCount, size_t largeCount)
{
    const std::string target = "<=1.10";
    const std::string growthName = Format("delete growth %u->%u", unsigned(smallCount), unsigned(largeCount));
    CSefraboxDll dll;
    auto deleteSefra = dll.Entry<DeleteSefraFn>(SEFRABOX_ORD_DELETESEFRA);
    if (!deleteSefra || world.folder.empty())
        return {NaRow(CountName(smallCount), target, "no library or demo world"),
                NaRow(CountName(largeCount), target, "no library or demo world"),
                NaRow(growthName, "linear", "no library or demo world")};
    CConfigScope config(world.Config());

    std::vector<double> cmdStarts;
    for (int i = 0; i < 3; ++i)
        cmdStarts.push_back(RunChild("cmd.exe /c rem", kRdTimeoutMs).ms);
    const double cmdStartMs = Median(cmdStarts);

    // The small tree three times (median), the large one once.
    std::vector<double> ours, peer;
    std::string reason;
    for (int i = 0; i < 3 && reason.empty(); ++i) {
        const DeleteFigures f = MeasureOnce(deleteSefra, world, smallCount, cmdStartMs);
        reason = f.reason;
        ours.push_back(f.ours);
        peer.push_back(f.peer);
    }
    std::vector<BenchRow> rows;
    const std::string how = Format("DeleteSefra vs cmd /c rd /s /q; 64-byte files, 10 a folder; cmd start-up %.0f ms "
                                   "taken off",
                                   cmdStartMs);
    if (!reason.empty())
        rows.push_back(NaRow(CountName(smallCount), target, reason));
    else
        rows.push_back(CostRow(CountName(smallCount), Median(ours), Median(peer), "ms", target, how + "; median of 3"));

    const DeleteFigures large = MeasureOnce(deleteSefra, world, largeCount, cmdStartMs);
    if (!large.ok)
        rows.push_back(NaRow(CountName(largeCount), target, large.reason));
    else
        rows.push_back(CostRow(CountName(largeCount), large.ours, large.peer, "ms", target, how + "; one run"));

    if (!reason.empty() || !large.ok || Median(ours) <= 0 || Median(peer) <= 0) {
        rows.push_back(NaRow(growthName, "linear", "a delete row is n/a"));
    } else {
        const double growth = double(largeCount) / double(smallCount);
        rows.push_back(
            CostRow(growthName, large.ours / Median(ours), large.peer / Median(peer), "x", "linear",
                    Format("time(%u)/time(%u); linear is %.0fx", unsigned(largeCount), unsigned(smallCount), growth)));
    }
    RemoveTree(world.MainSefra());
    MakeFolder(world.MainSefra());
    return rows;
}
