// mount_lock.h - g_MountVolumeLock, the machine-wide test-and-set word that
// serialises every mount, unmount, drive link and deletion.
//
// No re-entry: a holder that takes it twice waits for itself. The word
// itself carries no owner; the holder is recorded beside the shared block
// (lock_holder.h), so that a caller that finds the word held by a process
// that has died takes it over (and traces that it did) instead of waiting
// or refusing for ever, and cleans up what that holder left (see
// SetMountLockCleanup).
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

// What the lock's taker cleans up. The clean-up undoes drives and mounts
// through the features, which this folder does not reach: the entry points
// hand it over at process attach (module/app.cpp), before any export runs.
// Without it (a program that links the library's code without the DLL's
// start-up) a dead holder's lock is still taken over, and what that holder
// left stays for the next caller that has the clean-up.
struct MountLockCleanup {
    // Runs once the lock was taken over from a holder that died.
    void (*afterTakeover)() = nullptr;
    // Runs once AcquireMountVolumeLock has taken the lock.
    void (*afterWait)() = nullptr;
};
void SetMountLockCleanup(const MountLockCleanup &cleanup);

// Stores 0.
void ReleaseMountVolumeLock();

// True when the calling thread holds the word. A handler on a thread that
// may already hold it (a message box of the holder runs the thread's
// message loop) asks this first: waiting would never end.
bool IsMountVolumeLockHeldHere();

// The lock held for a scope: how the library takes it. Released exactly
// once, by Release() or at the latest when the holder goes (also when an
// exception leaves the scope).
class CMountVolumeLockHolder {
public:
    // Waits for the lock (AcquireMountVolumeLock).
    explicit CMountVolumeLockHolder(DWORD pollMs) : m_held(true) { AcquireMountVolumeLock(pollMs); }
    // One try (TryAcquireMountVolumeLock); Held() tells whether it took.
    static CMountVolumeLockHolder TryAcquire() { return CMountVolumeLockHolder(Outcome{TryAcquireMountVolumeLock()}); }
    ~CMountVolumeLockHolder() { Release(); }
    CMountVolumeLockHolder(const CMountVolumeLockHolder &) = delete;
    CMountVolumeLockHolder &operator=(const CMountVolumeLockHolder &) = delete;

    bool Held() const { return m_held; }
    void Release()
    {
        if (m_held) {
            m_held = false;
            ReleaseMountVolumeLock();
        }
    }

private:
    struct Outcome {
        bool held;
    };
    explicit CMountVolumeLockHolder(Outcome taken) : m_held(taken.held) {}
    bool m_held;
};
