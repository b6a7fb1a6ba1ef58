// mount_lock.cpp - acquire, takeover and release of g_MountVolumeLock.
#include "machine/mount_lock.h"

#include "win/message_wait.h"

#include "diagnostics/trace.h"
#include "machine/lock_holder.h"
#include "machine/shared_block.h"

namespace {

enum class Taken { No, Free, FromDead };

// Set at process attach, before any thread takes the lock.
MountLockCleanup s_cleanup;

// The word and its record, changed together under the guard. A held word
// whose record names a process that has ended is taken over; so is one
// held without a record when the guard's last owner died inside it (between
// taking the word and recording itself, or clearing the record and storing
// 0). A word held without a record otherwise belongs to someone who does not
// record (an older library): it is waited for.
Taken TakeWord()
{
    CLockHolderGuard guard;
    if (InterlockedCompareExchange(&g_MountVolumeLock, 1, 0) == 0) {
        if (guard.Held())
            RecordLockHolder();
        return Taken::Free;
    }
    if (!guard.Held())
        return Taken::No;
    DWORD pid = 0;
    const LockHolder holder = RecordedLockHolder(&pid);
    if (holder == LockHolder::Running || (holder == LockHolder::None && !guard.Abandoned()))
        return Taken::No;
    RecordLockHolder();
    SB_TRACE("g_MountVolumeLock held by dead process %u, taken over", static_cast<unsigned>(pid));
    return Taken::FromDead;
}

} // namespace

bool TryAcquireMountVolumeLock()
{
    switch (TakeWord()) {
    case Taken::Free:
        return true;
    case Taken::FromDead:
        if (s_cleanup.afterTakeover)
            s_cleanup.afterTakeover();
        return true;
    default:
        return false;
    }
}

void AcquireMountVolumeLock(DWORD pollMs)
{
    // The holder may be a thread that sends to this one's windows before
    // it lets go (a drive's removal is announced that way).
    while (!TryAcquireMountVolumeLock())
        WaitAnsweringSentMessages(nullptr, pollMs);
    if (s_cleanup.afterWait)
        s_cleanup.afterWait();
}

void SetMountLockCleanup(const MountLockCleanup &cleanup) { s_cleanup = cleanup; }

void ReleaseMountVolumeLock()
{
    CLockHolderGuard guard;
    if (guard.Held())
        ClearLockHolder();
    InterlockedExchange(&g_MountVolumeLock, 0);
}

bool IsMountVolumeLockHeldHere() { return g_MountVolumeLock != 0 && IsRecordedHolderThread(); }
