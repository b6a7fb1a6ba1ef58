// sefrabox_bench.cpp - what a sefra visit costs, beside the platform's own
// tools, measured in one run on one Wine prefix and printed as one table.
//
//   sefrabox_bench.exe [--quick] [--delete N,M[,L]] [--send-files N] [--send-max-kib K]
//                      [--open-visits N] [--visits N] [--handoffs N] [--only FIGURES]
//
// Every figure is a ratio of our cost to a peer's cost measured in the same
// run; see bench_rows.h for the figures. The program also runs itself as the
// second process of some figures ("--child ...", not for direct use).
#include "bench_rows.h"
#include "bench_util.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
    // Ascending; the third may be 0 (none).
    size_t deleteSmall = 100, deleteLarge = 1000, deleteHuge = 10000;
    size_t sendFiles = 200, sendMaxKiB = 4096;
    int openVisits = 5, visits = 10, handoffs = 1000;
    // Comma-separated figures to run (delete, sendto, open, targets, show,
    // lock); empty: all of them.
    std::string only;
    bool Runs(const char *figure) const
    {
        return only.empty() || ("," + only + ",").find("," + std::string(figure) + ",") != std::string::npos;
    }
};

void Usage()
{
    fprintf(stderr, "usage: sefrabox_bench [--quick] [--delete N,M[,L]] [--send-files N] [--send-max-kib K]\n"
                    "                      [--open-visits N] [--visits N] [--handoffs N]\n"
                    "                      [--only delete,sendto,open,targets,show,lock]\n");
}

bool ParseOptions(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--quick") {
            const std::string only = o.only;
            o = Options{20, 200, 0, 20, 256, 2, 3, 100, only};
            continue;
        }
        if (!value)
            return false;
        ++i;
        const long n = atol(value);
        if (arg == "--only") {
            o.only = value;
        } else if (arg == "--delete") {
            unsigned long a = 0, b = 0, c = 0;
            const int given = sscanf(value, "%lu,%lu,%lu", &a, &b, &c);
            if (given < 2 || a == 0 || b <= a || (given == 3 && c <= b))
                return false;
            o.deleteSmall = a;
            o.deleteLarge = b;
            o.deleteHuge = given == 3 ? c : 0;
        } else if (n <= 0) {
            return false;
        } else if (arg == "--send-files") {
            o.sendFiles = size_t(n);
        } else if (arg == "--send-max-kib") {
            o.sendMaxKiB = size_t(n);
        } else if (arg == "--open-visits") {
            o.openVisits = int(n);
        } else if (arg == "--visits") {
            o.visits = int(n);
        } else if (arg == "--handoffs") {
            o.handoffs = int(n);
        } else {
            return false;
        }
    }
    return true;
}

int RunChildMode(int argc, char **argv)
{
    const std::string mode = argc > 2 ? argv[2] : "";
    if (mode == "shellcopy")
        return ShellCopyChild(argc, argv);
    if (mode == "lock" && argc > 5)
        return LockChild(atoi(argv[3]), atoi(argv[4]), argv[5]);
    return 87;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "--child") == 0)
        return RunChildMode(argc, argv);
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        Usage();
        return 87;
    }
    const double start = NowMs();
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string scratch = Format("%ssefrabox_bench_%lu", temp, GetCurrentProcessId());
    RemoveTree(scratch);
    MakeFolder(scratch);
    Progress("demo worlds in %s", scratch.c_str());
    const DemoWorld withPasswords = MakeWorld(scratch + "\\world", false);
    const DemoWorld noPasswords = MakeWorld(scratch + "\\open_world", true);

    // Loaded for the whole run: the library's crash handler stays valid
    // between the figures that load and free it.
    const CSefraboxDll library;
    std::vector<BenchRow> rows;
    auto add = [&rows](const std::vector<BenchRow> &more) { rows.insert(rows.end(), more.begin(), more.end()); };
    if (o.Runs("delete"))
        add(BenchDelete(noPasswords, o.deleteHuge ? std::vector<size_t>{o.deleteSmall, o.deleteLarge, o.deleteHuge}
                                                  : std::vector<size_t>{o.deleteSmall, o.deleteLarge}));
    if (o.Runs("sendto"))
        add(BenchSendTo(noPasswords, scratch, o.sendFiles, o.sendMaxKiB));
    if (o.Runs("open")) {
        add(BenchOpenClose(withPasswords, o.openVisits));
        rows.push_back(BenchOpenToWindow(withPasswords, o.openVisits));
    }
    if (o.Runs("targets"))
        rows.push_back(BenchDriveTargets(scratch));
    if (o.Runs("show"))
        add(BenchShowAndMemory(withPasswords, o.visits));
    if (o.Runs("lock"))
        add(BenchLockHandoff(o.handoffs));
    RemoveTree(scratch);

    const std::string deleteCounts =
        o.deleteHuge ? Format("%u, %u and %u", unsigned(o.deleteSmall), unsigned(o.deleteLarge), unsigned(o.deleteHuge))
                     : Format("%u and %u", unsigned(o.deleteSmall), unsigned(o.deleteLarge));
    PrintTable({"Sefrabox benchmark: ratio = our cost / the peer's cost (time, memory, or 1/rate), "
                "measured in the same run on the same prefix",
                Format("counts: delete %s files, send to %u files of 1 KiB to %u KiB, open/close %d visits, "
                       "show %d visits, %d lock hand-offs",
                       deleteCounts.c_str(), unsigned(o.sendFiles), unsigned(o.sendMaxKiB), o.openVisits, o.visits,
                       o.handoffs),
                Format("run time %.0f s", (NowMs() - start) / 1000)},
               rows);
    return 0;
}
