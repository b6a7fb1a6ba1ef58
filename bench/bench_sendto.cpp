// bench_sendto.cpp - Send To of a set of files (1 KiB up to the largest
// size, in a geometric series) into the main sefra of a world without
// passwords, as the user waits for it, against the shell's own copy of the
// same files into the same folder.
//
// Ours is the Send To entry's process as the shell starts it: rundll32 with
// "Sefrabox.dll,MySendTo 255,<files>", in the library's folder, from its
// start to the success box. The peer is a process of this program that
// copies the same files with SHFileOperationA and FOF_SIMPLEPROGRESS, as the
// request does, from its start to the copy's end. The request's trace lines,
// the temporary drive and the box split our time into the store mount, the
// drive link, the copy, and the unlink and unmount after the box.
#include "bench_rows.h"
#include "bench_util.h"
#include "process.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "window_finders.h"

#include <shellapi.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kSendTimeoutMs = 180000;
constexpr DWORD kWatchPollMs = 1;
constexpr int kRuns = 3;
const char kTarget[] = "<=1.20";
const char kMountedLine[] = "Initialize() ("; // the store mounted
const char kFoundLine[] = "nIndex = ";        // the sefra found; its drive follows
const char kPeerBegins[] = "bench: shell copy begins";
const char kPeerDone[] = "bench: shell copy done";

// One process, from CreateProcess: when its success box showed (answered at
// once), when a drive letter appeared that was not there once its trace
// line that begins with drivePrefix was seen, when it ended; its trace lines go to monitor meanwhile.
struct Watched {
    bool ended = false;
    DWORD pid = 0;
    double startMs = 0, boxMs = -1, driveMs = -1, endMs = -1;
};

Watched StartAndWatch(CTraceMonitor &monitor, const std::string &commandLine, const char *drivePrefix)
{
    Watched w;
    DWORD drivesBefore = 0;
    w.startMs = NowMs();
    const CKernelHandle process = StartProgram(commandLine, BinDir());
    if (!process)
        return w;
    w.pid = GetProcessId(process.Get());
    // Its message box: a text and an OK button (the copy's own windows have
    // no OK button).
    const CWindowQuery boxes =
        ShownWindows().OfProcess(w.pid).OfClass(kDialogClass).WithControl(kMessageBoxText).WithControl(IDOK);
    while (WaitForSingleObject(process.Get(), kWatchPollMs) == WAIT_TIMEOUT) {
        const double now = NowMs();
        if (now - w.startMs > kSendTimeoutMs) {
            TerminateProcess(process.Get(), WAIT_TIMEOUT);
            WaitForSingleObject(process.Get(), 5000);
            return w;
        }
        if (!drivePrefix)
            continue;
        if (!drivesBefore && monitor.FirstLine(w.pid, drivePrefix) >= 0)
            drivesBefore = GetLogicalDrives();
        if (drivesBefore && w.driveMs < 0 && (GetLogicalDrives() & ~drivesBefore) != 0)
            w.driveMs = now;
        if (w.boxMs < 0) {
            if (const HWND box = boxes.First()) {
                w.boxMs = NowMs();
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
    }
    w.endMs = NowMs();
    w.ended = true;
    monitor.CatchUp(); // its last lines, written just before it ended
    return w;
}

// Ours, split by its trace lines (the entry, the store mounted, the sefra
// found, the result), its temporary drive and its box.
struct SendRun {
    double total = -1, start = 0, mount = 0, link = 0, copy = 0, after = 0;
    std::string failure;
};

SendRun RunOurs(const std::string &list)
{
    SendRun r;
    CTraceMonitor monitor;
    if (!monitor.Ready()) {
        r.failure = "no debug output monitor (another one runs)";
        return r;
    }
    // The drives are taken when the store is mounted, not when the sefra is
    // found: its drive follows that line so soon that a loaded machine sees
    // the line only after the drive.
    const Watched w = StartAndWatch(monitor, "rundll32.exe Sefrabox.dll,MySendTo 255," + list, kMountedLine);
    if (!w.ended) {
        r.failure = w.pid ? "MySendTo did not end in time" : "rundll32 did not start";
        return r;
    }
    const double entry = monitor.FirstLine(w.pid, "MySendTo() and CmdLine");
    const double mounted = monitor.FirstLine(w.pid, kMountedLine);
    const double found = monitor.FirstLine(w.pid, kFoundLine);
    const double result = monitor.LastLine(w.pid, "dwErrCode = ");
    if (w.boxMs < 0) {
        r.failure = "no success box";
        return r;
    }
    const std::pair<double, const char *> steps[] = {{entry, "the entry"},
                                                     {mounted, "the store mount"},
                                                     {found, "the sefra found"},
                                                     {w.driveMs, "the drive"},
                                                     {result, "the result"}};
    for (const auto &step : steps) {
        if (step.first < 0) {
            r.failure = std::string(step.second) + " is missing from the request's trace";
            return r;
        }
    }
    r.total = w.boxMs - w.startMs;
    r.start = entry - w.startMs;
    r.mount = mounted - entry;
    r.link = w.driveMs - found;
    r.copy = w.boxMs - w.driveMs;
    r.after = result - w.boxMs;
    return r;
}

// The peer's whole time and its copy alone.
struct PeerRun {
    double total = -1, copy = -1;
};

PeerRun RunPeer(const std::string &sefra, const std::string &list)
{
    PeerRun r;
    CTraceMonitor monitor;
    if (!monitor.Ready())
        return r;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const Watched w =
        StartAndWatch(monitor, "\"" + std::string(self) + "\" --child shellcopy \"" + sefra + "\" " + list, nullptr);
    const double begins = monitor.FirstLine(w.pid, kPeerBegins), done = monitor.FirstLine(w.pid, kPeerDone);
    if (w.ended && begins >= 0 && done >= 0) {
        r.total = done - w.startMs;
        r.copy = done - begins;
    }
    return r;
}

bool SameTree(const TreeCount &a, const TreeCount &b) { return a.files == b.files && a.bytes == b.bytes; }

} // namespace

int ShellCopyChild(int argc, char **argv)
{
    if (argc < 5)
        return 87;
    // The destination, then the files: one double-NUL ended list.
    std::string from;
    for (int i = 4; i < argc; ++i)
        from.append(argv[i]).push_back('\0');
    from.push_back('\0');
    std::string to = argv[3];
    to.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.hwnd = GetDesktopWindow();
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_SIMPLEPROGRESS;
    op.lpszProgressTitle = "bench";
    OutputDebugStringA(kPeerBegins);
    const int result = SHFileOperationA(&op);
    OutputDebugStringA(kPeerDone);
    return result;
}

std::vector<BenchRow> BenchSendTo(const DemoWorld &world, const std::string &scratch, size_t files, size_t maxKiB)
{
    const std::string kRowName = Format("send to %u files", unsigned(files));
    const char *parts[] = {"send to: store mount", "send to: drive link", "send to: copy", "send to: unlink+unmount"};
    auto na = [&](const std::string &reason) {
        std::vector<BenchRow> rows{NaRow(kRowName, kTarget, reason)};
        for (const char *part : parts)
            rows.push_back(NaRow(part, "-", reason));
        return rows;
    };
    if (world.folder.empty())
        return na("no demo world");
    CConfigOverride config(world.Config());
    const std::string source = scratch + "\\send";
    RemoveTree(source);
    MakeFolder(source);
    Progress("send to: writing %u files of 1 KiB to %u KiB", unsigned(files), unsigned(maxKiB));
    std::string list;
    const double ratio = files > 1 ? std::pow(double(maxKiB), 1.0 / double(files - 1)) : 1.0;
    for (size_t i = 0; i < files; ++i) {
        const std::string path = source + Format("\\f%03u.bin", unsigned(i));
        const size_t bytes = size_t(1024.0 * std::pow(ratio, double(i)));
        if (!WriteBytes(path, bytes, unsigned(i)))
            return na("could not write the source files");
        // Names with blanks are quoted, as the shell passes them.
        list += (list.empty() ? "" : " ") + (path.find(' ') == std::string::npos ? path : "\"" + path + "\"");
    }
    const TreeCount sent = CountTree(source);
    const std::string sefra = world.Sefra(kMainSefra);

    // Ours and the peer in turn, each into the emptied folder.
    Progress("send to: %d requests of %.1f MiB and %d shell copies", kRuns, double(sent.bytes) / 1048576.0, kRuns);
    std::vector<double> total, start, mount, link, copy, after, peer, peerCopy;
    for (int i = 0; i < kRuns; ++i) {
        RemoveTree(sefra);
        MakeFolder(sefra);
        const SendRun ours = RunOurs(list);
        if (ours.total < 0)
            return na(ours.failure);
        if (!SameTree(CountTree(sefra), sent))
            return na("MySendTo did not copy the files");
        total.push_back(ours.total);
        start.push_back(ours.start);
        mount.push_back(ours.mount);
        link.push_back(ours.link);
        copy.push_back(ours.copy);
        after.push_back(ours.after);

        RemoveTree(sefra);
        MakeFolder(sefra);
        const PeerRun shell = RunPeer(sefra, list);
        if (shell.total < 0 || !SameTree(CountTree(sefra), sent))
            return na("the shell's copy did not copy the files");
        peer.push_back(shell.total);
        peerCopy.push_back(shell.copy);
    }
    RemoveTree(sefra);
    MakeFolder(sefra);
    RemoveTree(source);

    const double floor = Median(peer);
    const std::string floorNote = "vs the shell's copy of the same files into the same folder";
    return {CostRow(kRowName, Median(total), floor, "ms", kTarget,
                    Format("rundll32 Sefrabox.dll,MySendTo 255 in the library's folder, no password, start to success "
                           "box (process start %.0f ms) vs SHFileOperationA (FOF_SIMPLEPROGRESS) of the same files "
                           "into the same folder in a process of its own, start to copied; %.1f MiB; median of %d",
                           Median(start), double(sent.bytes) / 1048576.0, kRuns)),
            CostRow(parts[0], Median(mount), floor, "ms", "-",
                    "entry trace line to \"Initialize()\": lock, busy marker, command line, mount; " + floorNote),
            CostRow(parts[1], Median(link), floor, "ms", "-",
                    "\"nIndex = \" to the temporary drive present: folder, free letter, link; " + floorNote),
            CostRow(parts[2], Median(copy), floor, "ms", "-",
                    Format("drive present to the success box: the shell's copy through the drive (the peer's copy "
                           "alone %.0f ms); ",
                           Median(peerCopy)) +
                        floorNote),
            CostRow(parts[3], Median(after), floor, "ms", "-",
                    "box answered to the result line: box closed, drive unlinked, store unmounted (after the box: "
                    "not waited for); " +
                        floorNote)};
}
