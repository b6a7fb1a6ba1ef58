// lock_holder.h - who holds g_MountVolumeLock, recorded beside the fixed
// shared block so that a holder that died can be told from one at work, and
// a thread that holds it from one that waits for it. (What a holder links
// and mounts for its own work is in the held records, held_records.h.)
//
// The record (the holder's process id, creation time and thread) lives in
// the library's shared record section (shared_records.h), with the reach of
// the shared block. The word and the record change together under the
// mutex "Global\SefraboxLockHolderGuard", named in the global namespace
// for the same reach and open to every user (a standard user's process that
// may not create it there uses its session's own name); a process that dies
// inside leaves the mutex abandoned, and the next owner is told so.
#pragma once

#include <windows.h>

// Owns the guard for its scope. The wait is bounded: when the guard cannot
// be had the caller works on the word alone and leaves the record as it is.
class CLockHolderGuard {
public:
    CLockHolderGuard();
    ~CLockHolderGuard();
    CLockHolderGuard(const CLockHolderGuard &) = delete;
    CLockHolderGuard &operator=(const CLockHolderGuard &) = delete;

    bool Held() const { return m_held; }
    // The previous owner died holding the guard.
    bool Abandoned() const { return m_abandoned; }

private:
    bool m_held = false;
    bool m_abandoned = false;
};

enum class LockHolder {
    None,    // nothing recorded
    Running, // a running process
    Gone,    // a process that has ended
};

// The rest is called with the guard held.

// This thread of this process holds the word.
void RecordLockHolder();
// Nobody holds the word.
void ClearLockHolder();
// The recorded holder; pdwProcessId, when given, receives its id.
LockHolder RecordedLockHolder(DWORD *pdwProcessId);

// True when the record names the calling thread as the holder. Needs no
// guard: only this thread writes its own name into the record.
bool IsRecordedHolderThread();
