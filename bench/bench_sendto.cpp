// bench_sendto.cpp - Send To of a set of files (1 KiB up to the largest
// size, in a geometric series) into the main sefra, against xcopy of the
// same files into the same folder.
//
// MySendTo runs as the shell runs it: in a process of its own whose command
// line names the library, the export, the sefra number and the files. That
// child times the call itself and answers the closing message box; the time
// the box stood open is taken off. The peer's process start-up (xcopy /?) is
// taken off its time.
#include "bench_rows.h"
#include "bench_util.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr DWORD kSendTimeoutMs = 180000;
constexpr int kWatchPollMs = 2;
const char kTarget[] = "<=1.20";

struct BoxWatch {
    std::atomic<bool> stop{false};
    double firstSeenMs = 0, firstAnsweredMs = 0;
    int boxes = 0;
};

struct FindArgs {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM l)
{
    auto *a = reinterpret_cast<FindArgs *>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    // A message box: its text and an OK button (the copy's own windows have
    // no OK button).
    if (pid == a->pid && IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0 && GetDlgItem(hwnd, 0xFFFF) &&
        GetDlgItem(hwnd, IDOK)) {
        a->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Answers every message box of this process with OK.
void WatchBoxes(BoxWatch *watch)
{
    HWND last = nullptr;
    while (!watch->stop) {
        FindArgs args{GetCurrentProcessId(), nullptr};
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&args));
        if (args.box && args.box != last) {
            if (watch->boxes++ == 0)
                watch->firstSeenMs = NowMs();
            PostMessageA(args.box, WM_COMMAND, IDOK, 0);
            if (watch->boxes == 1)
                watch->firstAnsweredMs = NowMs();
            last = args.box;
        }
        Sleep(kWatchPollMs);
    }
}

} // namespace

int SendToChild()
{
    CSefraboxDll dll;
    HMODULE module = GetModuleHandleA("Sefrabox.dll");
    auto mySendTo = reinterpret_cast<int(__cdecl *)(void)>(
        reinterpret_cast<void (*)()>(module ? GetProcAddress(module, "MySendTo") : nullptr));
    if (!mySendTo) {
        printf("result -1\n");
        return 1;
    }
    BoxWatch watch;
    std::thread watcher(WatchBoxes, &watch);
    const double t0 = NowMs();
    const int result = mySendTo();
    const double t1 = NowMs();
    watch.stop = true;
    watcher.join();
    const double boxOpen = watch.boxes > 0 ? watch.firstAnsweredMs - watch.firstSeenMs : 0;
    printf("result %d\nms %.3f\nboxes %d\nboxms %.3f\n", result, t1 - t0, watch.boxes, boxOpen);
    return 0;
}

BenchRow BenchSendTo(const World &world, const std::string &scratch, size_t files, size_t maxKiB)
{
    const std::string kRowName = Format("send to %u files", unsigned(files));
    if (world.folder.empty())
        return NaRow(kRowName, kTarget, "no demo world");
    CConfigScope config(world.Config());
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
            return NaRow(kRowName, kTarget, "could not write the source files");
        // Names with blanks are quoted, as the shell passes them.
        list += (list.empty() ? "" : " ") + (path.find(' ') == std::string::npos ? path : "\"" + path + "\"");
    }
    const TreeCount sent = CountTree(source);
    const std::string sefra = world.MainSefra();
    RemoveTree(sefra);
    MakeFolder(sefra);

    // As the shell's host starts it: program and library, a comma, the
    // export, the sefra number, a comma and the files.
    Progress("send to: MySendTo of %.1f MiB", double(sent.bytes) / 1048576.0);
    const ChildRun ours =
        RunSelf("--child sendto \"" + BinDir() + "Sefrabox.dll\",MySendTo 255," + list, kSendTimeoutMs);
    const std::string result = OutputValue(ours.output, "result");
    if (!ours.started || ours.timedOut)
        return NaRow(kRowName, kTarget, ours.timedOut ? "MySendTo did not return in time" : "no child process");
    if (result != "0")
        return NaRow(kRowName, kTarget,
                     "MySendTo returned " + result + (result == "120" ? ": not implemented in this build" : ""));
    const TreeCount arrived = CountTree(sefra);
    if (arrived.files != sent.files || arrived.bytes != sent.bytes)
        return NaRow(kRowName, kTarget,
                     Format("%u of %u files arrived, %s message boxes", unsigned(arrived.files), unsigned(sent.files),
                            OutputValue(ours.output, "boxes").c_str()));
    const double oursMs =
        atof(OutputValue(ours.output, "ms").c_str()) - atof(OutputValue(ours.output, "boxms").c_str());

    RemoveTree(sefra);
    MakeFolder(sefra);
    std::vector<double> starts;
    for (int i = 0; i < 2; ++i)
        starts.push_back(RunChild("xcopy.exe /?", kSendTimeoutMs).ms);
    Progress("send to: xcopy");
    const ChildRun peer = RunChild("xcopy.exe \"" + source + "\\*\" \"" + sefra + "\\\" /q /y", kSendTimeoutMs);
    const TreeCount copied = CountTree(sefra);
    RemoveTree(sefra);
    MakeFolder(sefra);
    RemoveTree(source);
    if (!peer.started || peer.timedOut || copied.files != sent.files)
        return NaRow(kRowName, kTarget, "xcopy did not copy the files");
    return CostRow(kRowName, oursMs, peer.ms - Median(starts), "ms", kTarget,
                   Format("MySendTo in its own process (store mount, drive, shell copy) vs xcopy; %.1f MiB; "
                          "box and xcopy start-up taken off",
                          double(sent.bytes) / 1048576.0));
}
