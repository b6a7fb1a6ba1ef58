// bench_targets.cpp - GetDriveTargets calls per second on a platform with
// the most drives the driver record holds and 16 visibility rules, against
// a plain copy of the 261-byte FILE_OPERATION record (the floor).
//
// The driver's record (DRIVER_INFO, 100 bytes) holds at most 15 devices, so
// 15 drives is the largest list the call can be given; the stand-ins read
// their configuration file on each call, which is part of the figure.
#include "Sefrabox.h"
#include "bench_rows.h"
#include "bench_util.h"

#include <cstring>

namespace {

constexpr int kDrives = 15;
constexpr int kRules = 16;
constexpr double kOursMs = 1500;
constexpr double kPeerMs = 300;
const char kTarget[] = "-";
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
    CConfigScope config(ini);
    Progress("GetDriveTargets: %d drives, %d rules", kDrives, kRules);

    FILE_OPERATION record;
    char paths[512], names[512];
    int result = getDriveTargets(platformFile.c_str(), &record, paths, sizeof paths, names, sizeof names, 0, 7, 1);
    const unsigned long listed = record.dwTargetCount;
    if (result != 0 || listed == 0)
        return NaRow(kRowName, kTarget, Format("GetDriveTargets returned %d with %lu targets", result, listed));
    unsigned long calls = 0;
    const double t0 = NowMs();
    double elapsed = 0;
    while (elapsed < kOursMs) {
        result |= getDriveTargets(platformFile.c_str(), &record, paths, sizeof paths, names, sizeof names, 0, 7, 1);
        ++calls;
        elapsed = NowMs() - t0;
    }
    if (result != 0)
        return NaRow(kRowName, kTarget, "a call failed during the run");
    const double ours = calls * 1000.0 / elapsed;

    // The floor: the record copied; the barrier keeps every copy.
    FILE_OPERATION copy;
    unsigned long copies = 0;
    const double p0 = NowMs();
    double peerElapsed = 0;
    while (peerElapsed < kPeerMs) {
        for (int i = 0; i < 10000; ++i) {
            memcpy(&copy, &record, sizeof record);
            asm volatile("" : : "r"(&copy) : "memory");
        }
        copies += 10000;
        peerElapsed = NowMs() - p0;
    }
    const double peer = copies * 1000.0 / peerElapsed;
    return RateRow(kRowName, ours, peer, "calls/s", kTarget,
                   Format("%d drives (most the driver record holds), %d rules, %lu listed; vs memcpy of %u bytes",
                          kDrives, kRules, listed, unsigned(sizeof record)));
}
