// sefrabox_bench.cpp - what a sefra visit costs, beside the platform's own
// tools, measured in one run on one Wine prefix and printed as one table.
//
//   sefrabox_bench.exe [--quick] [--delete N,M] [--send-files N] [--send-max-kib K]
//                      [--open-visits N] [--visits N] [--handoffs N]
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
    // The command interpreter's rd takes minutes for 10,000 files under Wine:
    // --delete 1000,10000 for the full size.
    size_t deleteSmall = 100, deleteLarge = 1000;
    size_t sendFiles = 200, sendMaxKiB = 4096;
    int openVisits = 5, visits = 10, handoffs = 1000;
};

void Usage()
{
    fprintf(stderr, "usage: sefrabox_bench [--quick] [--delete N,M] [--send-files N] [--send-max-kib K]\n"
                    "                      [--open-visits N] [--visits N] [--handoffs N]\n");
}

bool ParseOptions(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--quick") {
            o = Options{20, 200, 20, 256, 2, 3, 100};
            continue;
        }
        if (!value)
            return false;
        ++i;
        const long n = atol(value);
        if (arg == "--delete") {
            unsigned long a = 0, b = 0;
            if (sscanf(value, "%lu,%lu", &a, &b) != 2 || a == 0 || b <= a)
                return false;
            o.deleteSmall = a;
            o.deleteLarge = b;
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
    if (mode == "sendto")
        return SendToChild();
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
    const World withPasswords = MakeWorld(scratch + "\\world", false);
    const World noPasswords = MakeWorld(scratch + "\\open_world", true);

    // Loaded for the whole run: the library's crash handler stays valid
    // between the figures that load and free it.
    const CSefraboxDll library;
    std::vector<BenchRow> rows;
    auto add = [&rows](const std::vector<BenchRow> &more) { rows.insert(rows.end(), more.begin(), more.end()); };
    add(BenchDelete(noPasswords, o.deleteSmall, o.deleteLarge));
    rows.push_back(BenchSendTo(noPasswords, scratch, o.sendFiles, o.sendMaxKiB));
    add(BenchOpenClose(withPasswords, o.openVisits));
    rows.push_back(BenchDriveTargets(scratch));
    add(BenchShowAndMemory(withPasswords, o.visits));
    add(BenchLockHandoff(o.handoffs));
    RemoveTree(scratch);

    PrintTable({"Sefrabox benchmark: ratio = our cost / the peer's cost (time, memory, or 1/rate), "
                "measured in the same run on the same prefix",
                Format("counts: delete %u and %u files, send to %u files of 1 KiB to %u KiB, open/close %d visits, "
                       "show %d visits, %d lock hand-offs",
                       unsigned(o.deleteSmall), unsigned(o.deleteLarge), unsigned(o.sendFiles), unsigned(o.sendMaxKiB),
                       o.openVisits, o.visits, o.handoffs),
                Format("run time %.0f s", (NowMs() - start) / 1000)},
               rows);
    return 0;
}
