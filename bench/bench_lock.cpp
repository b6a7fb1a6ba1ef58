// bench_lock.cpp - g_MountVolumeLock handed back and forth between two
// processes: from the holder's release to the waiter's acquisition, the
// waiter polling as OpenSefra, MySendTo and DeleteSefra do (10 ms). The peer
// is the system's own hand-off, a named auto-reset event that the waiter
// blocks on.
//
// The lock word is the library's lock code linked into this program: its
// shared section is one for every process of this program, as the DLL's is
// for every process of the library. The holder keeps the lock a varying
// 0 to 9 ms after the waiter has begun to wait, so releases fall at every
// point of the waiter's poll cycle.
#include "bench_rows.h"
#include "bench_util.h"
#include "machine/mount_lock.h"
#include "process.h"

#include <cstdlib>

namespace {

constexpr int kMaxHandoffs = 100000;
constexpr double kStallMs = 20000;
constexpr DWORD kChildTimeoutMs = 600000;
enum Kind { kMountLock = 0, kEvent = 1 };

struct HandoffBlock {
    volatile LONG seq;     // hand-offs done
    volatile LONG waiting; // 1 + the party that waits for the next hand-off, 0 none
    volatile LONG failed;  // a party gave up: 1 stalled, 2 the lock word is not shared
    volatile double releaseMs;
    double samples[kMaxHandoffs];
};

class CHandoffParty {
public:
    CHandoffParty(int kind, const std::string &mapping, bool create)
        : m_kind(kind), m_map(create ? CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                          sizeof(HandoffBlock), mapping.c_str())
                                     : OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, mapping.c_str())),
          m_event(CreateEventA(nullptr, FALSE, FALSE, (mapping + ".event").c_str()))
    {
        if (m_map)
            m_view.Reset(MapViewOfFile(m_map.Get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(HandoffBlock)));
    }
    HandoffBlock *Block() const { return static_cast<HandoffBlock *>(m_view.Get()); }

    void Acquire() const
    {
        if (m_kind == kMountLock)
            AcquireMountVolumeLock(kLockPollEntryMs);
        else
            WaitForSingleObject(m_event.Get(), INFINITE);
    }
    void Release() const
    {
        if (m_kind == kMountLock)
            ReleaseMountVolumeLock();
        else
            SetEvent(m_event.Get());
    }

    // Party 0 holds first; the holder of hand-off s is party s % 2.
    void Run(int party, int handoffs) const
    {
        HandoffBlock *b = Block();
        bool holding = party == 0;
        for (;;) {
            const LONG s = b->seq;
            if (s >= handoffs || b->failed)
                break;
            if (s % 2 == party) {
                if (!WaitFor([&] { return b->waiting == 2 - party; }))
                    break;
                Sleep(DWORD(s * 7 % 10));
                b->releaseMs = NowMs();
                b->waiting = 0;
                holding = false;
                Release();
                if (!WaitFor([&] { return b->seq != s; }))
                    break;
            } else {
                b->waiting = 1 + party;
                Acquire();
                b->samples[s] = NowMs() - b->releaseMs;
                holding = true;
                InterlockedExchange(&b->seq, s + 1);
            }
        }
        if (holding && m_kind == kMountLock)
            ReleaseMountVolumeLock();
    }

private:
    template <typename Cond> bool WaitFor(Cond cond) const
    {
        const double end = NowMs() + kStallMs;
        while (!cond()) {
            if (Block()->failed)
                return false;
            if (NowMs() > end) {
                Block()->failed = 1;
                return false;
            }
            Sleep(1);
        }
        return true;
    }

    int m_kind;
    CKernelHandle m_map;
    CKernelHandle m_event;
    CMappedView m_view;
};

struct HandoffFigures {
    std::vector<double> samples;
    std::string reason;
};

HandoffFigures Measure(int kind, int handoffs)
{
    HandoffFigures f;
    const std::string mapping = Format("SefraboxBenchHandoff%lu_%d", GetCurrentProcessId(), kind);
    CHandoffParty party(kind, mapping, true);
    if (!party.Block()) {
        f.reason = "no shared memory for the hand-offs";
        return f;
    }
    if (kind == kMountLock && !TryAcquireMountVolumeLock()) {
        f.reason = "the mount lock was held by another process";
        return f;
    }
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string line = Format("\"%s\" --child lock %d %d %s", path, kind, handoffs, mapping.c_str());
    const CKernelHandle process = StartProgram(line);
    if (!process) {
        party.Release();
        f.reason = "the second process did not start";
        return f;
    }
    party.Run(0, handoffs);
    if (WaitForSingleObject(process.Get(), kChildTimeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(process.Get(), WAIT_TIMEOUT);
    const HandoffBlock *b = party.Block();
    if (b->failed == 2)
        f.reason = "the lock word is not shared between the processes";
    else if (b->failed || b->seq < handoffs)
        f.reason = "the hand-offs stalled";
    else
        f.samples.assign(b->samples, b->samples + handoffs);
    return f;
}

} // namespace

int LockChild(int kind, int handoffs, const std::string &mapping)
{
    CHandoffParty party(kind, mapping, false);
    HandoffBlock *b = party.Block();
    if (!b)
        return 1;
    // The parent took the lock before it started this process.
    if (kind == kMountLock && TryAcquireMountVolumeLock()) {
        ReleaseMountVolumeLock();
        b->failed = 2;
        return 2;
    }
    party.Run(1, handoffs);
    return 0;
}

std::vector<BenchRow> BenchLockHandoff(int handoffs)
{
    const std::string median = "lock hand-off median", worst = "lock hand-off worst";
    if (handoffs < 2 || handoffs > kMaxHandoffs)
        return {NaRow(median, "-", "hand-off count out of range"), NaRow(worst, "-", "hand-off count out of range")};
    Progress("lock hand-off: %d hand-offs of the mount lock, then of an event", handoffs);
    const HandoffFigures ours = Measure(kMountLock, handoffs);
    const HandoffFigures peer = ours.reason.empty() ? Measure(kEvent, handoffs) : HandoffFigures();
    const std::string reason = !ours.reason.empty() ? ours.reason : peer.reason;
    if (!reason.empty())
        return {NaRow(median, "-", reason), NaRow(worst, "-", reason)};
    const std::string how = Format("release to the waiter's acquisition, %d hand-offs between two processes; "
                                   "10 ms polls vs a named event",
                                   handoffs);
    return {CostRow(median, Median(ours.samples), Median(peer.samples), "ms", "-", how),
            CostRow(worst, Worst(ours.samples), Worst(peer.samples), "ms", "-", how)};
}
