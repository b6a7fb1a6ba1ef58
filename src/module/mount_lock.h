// mount_lock.h - g_MountVolumeLock, the machine-wide test-and-set word that
// serialises every mount, unmount, drive link and deletion.
//
// No owner, no re-entry: a holder that takes it twice waits for itself.
#pragma once

#include <windows.h>

// Poll intervals of the waiting callers.
constexpr DWORD kLockPollEntryMs = 10;    // OpenSefra, MySendTo, DeleteSefra
constexpr DWORD kLockPollHandlerMs = 100; // the dialog's event and exit handlers

// One compare-and-exchange of the word from 0 to 1; true when taken.
bool TryAcquireMountVolumeLock();

// Retries every pollMs until taken; never gives up.
void AcquireMountVolumeLock(DWORD pollMs);

// Stores 0.
void ReleaseMountVolumeLock();

// Scoped holder for code paths that must release on every exit.
class CMountVolumeLockHolder {
public:
    explicit CMountVolumeLockHolder(DWORD pollMs) { AcquireMountVolumeLock(pollMs); }
    ~CMountVolumeLockHolder() { ReleaseMountVolumeLock(); }
    CMountVolumeLockHolder(const CMountVolumeLockHolder &) = delete;
    CMountVolumeLockHolder &operator=(const CMountVolumeLockHolder &) = delete;
};
