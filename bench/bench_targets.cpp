// bench_targets.cpp - GetDriveTargets calls per second on a platform with
// the most drives the driver record holds and 16 visibility rules, against
// the two suite calls it makes (GetTargetConfig and GetDriverInfo on the
// same platform file) timed alone in the same run: the floor. What is left
// is our own cost, the record fill and the trace lines, which the note
// splits by timing the call's own trace lines alone.
//
// The driver's record (DRIVER_INFO, 100 bytes) holds at most 15 devices, so
// 15 drives is the largest list the call can be given; the stand-ins read
// their configuration file on each call, which is part of the floor.
#include "Sefrabox.h"
#include "bench_rows.h"
#include "bench_util.h"
#include "diagnostics/trace.h"
#include "suite/Palmet.h"
#include "trace_monitor.h"
#include "volume/drive_targets_fill.h"

#include <cstring>
#include <functional>

namespace {

constexpr int kDrives = 15;
constexpr int kRules = 16;
constexpr double kRunMs = 2500;
const char kTarget[] = "<=1.10";
const char kRowName[] = "GetDriveTargets";

using GetDriveTargetsFn = int(__cdecl *)(const char *, FILE_OPERATION *, char *, unsigned, char *, unsigned,
                                         unsigned char, unsigned long, unsigned char);

// Drives D: to R: on disks 0 to 2; rule j names drive j (the last one is
// not in use): hidden, read-only or writable in turn.
bool WriteConfig(const std::string &ini, const std::string &platformFile)
{
    std::string text = "[Service]\r\nRunning=1\r\n[Platforms]\r\nCount=1\r\n[Platform1]\r\nNumber=9\r\nKind=1\r\n"
                       "File=" +
                       platformFile + "\r\nName=Bench\r\nRestricted=1\r\n" + Format("Rules=%d\r\n", kRules);
    for (int j = 0; j < kRules; ++j) {
        const int flags = j == kRules - 1 ? 6 : (j % 4 == 0 ? 1 : (j % 4 == 1 ? 3 : 5));
        text += Format("Rule%d=%d,%d,0x%08X\r\n", j + 1, flags, j % 3, 0x1000u * unsigned(j + 1));
    }
    text += Format("[Disks]\r\nCount=%d\r\n", kDrives);
    for (int i = 0; i < kDrives; ++i)
        text += Format("Device%d=%c,%d,0x%08X\r\n", i + 1, 'D' + i, i % 3, 0x1000u * unsigned(i + 1));
    CFileHandle h(CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return h && WriteFile(h.Get(), text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}

// Median milliseconds of one call of each of calls, called in turn for
// about kRunMs: each sample sees the same moment of the machine, and a
// median of single calls leaves out the moments another program took.
std::vector<double> MedianMs(const std::vector<std::function<void()>> &calls)
{
    std::vector<std::vector<double>> samples(calls.size());
    const double t0 = NowMs();
    while (NowMs() - t0 < kRunMs) {
        for (size_t i = 0; i < calls.size(); ++i) {
            const double start = NowMs();
            calls[i]();
            samples[i].push_back(NowMs() - start);
        }
    }
    std::vector<double> medians;
    for (const std::vector<double> &s : samples)
        medians.push_back(Median(s));
    return medians;
}

// The trace lines of one call, as a debugger output monitor receives them.
std::vector<std::string> TraceOfOneCall(const std::function<void()> &call)
{
    CTraceMonitor monitor;
    if (!monitor.Ready())
        return {};
    call();
    monitor.CatchUp();
    return monitor.LinesOf(GetCurrentProcessId());
}

} // namespace

BenchRow BenchDriveTargets(const std::string &scratch)
{
    CSefraboxDll dll;
    auto getDriveTargets = dll.Entry<GetDriveTargetsFn>(SEFRABOX_ORD_GETDRIVETARGETS);
    if (!getDriveTargets)
        return NaRow(kRowName, kTarget, "no library");
    const std::string ini = scratch + "\\targets.ini";
    const std::string platformFile = scratch + "\\Bench.vpf";
    if (!WriteConfig(ini, platformFile))
        return NaRow(kRowName, kTarget, "could not write the configuration");
    CConfigOverride config(ini);
    Progress("GetDriveTargets: %d drives, %d rules", kDrives, kRules);

    FILE_OPERATION record;
    char paths[512], names[512];
    int result = 0;
    const std::function<void()> ours = [&] {
        result |= getDriveTargets(platformFile.c_str(), &record, paths, sizeof paths, names, sizeof names, 0, 7, 1);
    };
    const std::vector<std::string> trace = TraceOfOneCall(ours);
    const unsigned long listed = record.dwTargetCount;
    if (result != 0 || listed == 0)
        return NaRow(kRowName, kTarget, Format("GetDriveTargets returned %d with %lu targets", result, listed));

    BYTE rules[100], devices[100];
    DWORD suite = 0;
    const std::function<void()> floor = [&] {
        suite |= GetTargetConfig(platformFile.c_str(), rules);
        suite |= GetDriverInfo(devices, 7, 1);
    };
    // Our own parts alone, on the suite's answers: the record fill with its
    // trace lines collected, those lines through the library's trace, and
    // their finished texts through OutputDebugStringA alone.
    using namespace drive_targets;
    struct Traced {
        int line;
        const char *fmt;
        int a, b;
    };
    std::vector<Traced> traced;
    const auto collect = [](void *context, int line, const char *fmt, int a, int b) {
        static_cast<std::vector<Traced> *>(context)->push_back({line, fmt, a, b});
    };
    const TargetBuffers buffers{reinterpret_cast<uint8_t *>(&record),         paths, sizeof paths,
                                uint32_t(reinterpret_cast<uintptr_t>(paths)), names, sizeof names,
                                uint32_t(reinterpret_cast<uintptr_t>(names))};
    const std::function<void()> fill = [&] {
        traced.clear();
        memset(&record, 0, sizeof record);
        FillDriveTargets(rules, devices, sizeof devices, buffers, TargetOptions{false, true}, collect, &traced);
    };
    floor();
    fill();
    const std::function<void()> libraryTrace = [&] {
        for (const Traced &t : traced)
            LogTraceAtLine(t.line, t.fmt, t.a, t.b);
    };
    const std::function<void()> platformTrace = [&] {
        for (const std::string &text : trace)
            OutputDebugStringA(text.c_str());
    };
    const std::vector<double> ms = MedianMs({ours, floor, fill, libraryTrace, platformTrace});
    if (result != 0 || suite != 0)
        return NaRow(kRowName, kTarget, "a call failed during the run");
    const double oursMs = ms[0], floorMs = ms[1], fillMs = ms[2], traceMs = ms[3], platformMs = ms[4];
    const double ownMs = oursMs - floorMs;
    return RateRow(kRowName, 1000 / oursMs, 1000 / floorMs, "calls/s", kTarget,
                   Format("%d drives (most the driver record holds), %d rules, %lu listed; vs GetTargetConfig + "
                          "GetDriverInfo alone (%.3f ms); own cost %.3f ms a call (%+.1f %% of theirs); medians of "
                          "single calls in turn; alone: record fill %.4f ms, its %u trace lines %.3f ms "
                          "(OutputDebugStringA of the texts %.3f ms)",
                          kDrives, kRules, listed, floorMs, ownMs, 100 * ownMs / floorMs, fillMs,
                          unsigned(traced.size()), traceMs, platformMs));
}
