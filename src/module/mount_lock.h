// mount_lock.h - g_MountVolumeLock, the machine-wide test-and-set word that
// serialises every mount, unmount, drive link and deletion.
//
// No re-entry: a holder that takes it twice waits for itself. The word
// itself carries no owner; the holder is recorded beside the shared block
// (lock_holder.h), so that a caller that finds the word held by a process
// that has died takes it over (and traces that it did) instead of waiting
// or refusing for ever, and cleans up what that holder left.
#pragma once

#include <windows.h>

// Poll intervals of the waiting callers.
constexpr DWORD kLockPollEntryMs = 10;    // OpenSefra, MySendTo, DeleteSefra
constexpr DWORD kLockPollHandlerMs = 100; // the dialog's event and exit handlers

// One compare-and-exchange of the word from 0 to 1, or the takeover from a
// dead holder; true when taken.
bool TryAcquireMountVolumeLock();

// Retries every pollMs until taken; never gives up. Once taken, a recorded
// dialog whose process or window is gone is cleaned up as the show entries
// do.
void AcquireMountVolumeLock(DWORD pollMs);

// Stores 0.
void ReleaseMountVolumeLock();

// True when the calling thread holds the word. A handler on a thread that
// may already hold it (a message box of the holder runs the thread's
// message loop) asks this first: waiting would never end.
bool IsMountVolumeLockHeldHere();

// Scoped holder for code paths that must release on every exit.
class CMountVolumeLockHolder {
public:
    explicit CMountVolumeLockHolder(DWORD pollMs) { AcquireMountVolumeLock(pollMs); }
    ~CMountVolumeLockHolder() { ReleaseMountVolumeLock(); }
    CMountVolumeLockHolder(const CMountVolumeLockHolder &) = delete;
    CMountVolumeLockHolder &operator=(const CMountVolumeLockHolder &) = delete;
};
