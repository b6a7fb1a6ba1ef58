// lock_holder.cpp - the record of g_MountVolumeLock's holder (see
// lock_holder.h).
#include "machine/lock_holder.h"

#include "machine/process_identity.h"
#include "machine/shared_records.h"

namespace {

struct LockHolderRecord {
    DWORD dwProcessId;  // 0: none
    FILETIME ftCreated; // of that process
    DWORD dwThreadId;   // the thread that took the word
};

LockHolderRecord s_record SEFRABOX_SHARED_RECORD = {};

constexpr DWORD kGuardWaitMs = 5000;
constexpr char kGuardName[] = "Global\\SefraboxLockHolderGuard";
constexpr char kSessionGuardName[] = "SefraboxLockHolderGuard";

// The guard of this process, opened when the module loads and deliberately
// never closed. Without a DACL every user's processes can open it, as they
// can map the shared block. Creating a name in the global namespace needs a
// privilege that a standard user's session lacks (opening one that exists
// does not): such a process, when it is the first, guards with the name of
// its own session instead.
HANDLE OpenGuard()
{
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
    if (InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE))
        attributes.lpSecurityDescriptor = &descriptor;
    const HANDLE global = CreateMutexA(&attributes, FALSE, kGuardName);
    if (global || GetLastError() != ERROR_ACCESS_DENIED)
        return global;
    return CreateMutexA(&attributes, FALSE, kSessionGuardName);
}

HANDLE Guard()
{
    static const HANDLE guard = OpenGuard();
    return guard;
}

// Opens it at load, before any caller can need it.
[[maybe_unused]] const bool s_opened = (Guard(), true);

volatile LockHolderRecord &Record() { return s_record; }

} // namespace

CLockHolderGuard::CLockHolderGuard()
{
    const HANDLE guard = Guard();
    if (!guard)
        return;
    const DWORD waited = WaitForSingleObject(guard, kGuardWaitMs);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    m_abandoned = waited == WAIT_ABANDONED;
}

CLockHolderGuard::~CLockHolderGuard()
{
    if (m_held)
        ReleaseMutex(Guard());
}

void RecordLockHolder()
{
    volatile LockHolderRecord &record = Record();
    const ProcessIdentity self = CurrentProcessIdentity();
    record.dwProcessId = self.dwProcessId;
    record.ftCreated.dwLowDateTime = self.ftCreated.dwLowDateTime;
    record.ftCreated.dwHighDateTime = self.ftCreated.dwHighDateTime;
    record.dwThreadId = GetCurrentThreadId();
}

void ClearLockHolder()
{
    volatile LockHolderRecord &record = Record();
    record.dwProcessId = 0;
    record.ftCreated.dwLowDateTime = 0;
    record.ftCreated.dwHighDateTime = 0;
    record.dwThreadId = 0;
}

LockHolder RecordedLockHolder(DWORD *pdwProcessId)
{
    volatile LockHolderRecord &record = Record();
    const DWORD pid = record.dwProcessId;
    if (pdwProcessId)
        *pdwProcessId = pid;
    if (pid == 0)
        return LockHolder::None;
    FILETIME created;
    created.dwLowDateTime = record.ftCreated.dwLowDateTime;
    created.dwHighDateTime = record.ftCreated.dwHighDateTime;
    return IsProcessRunning(pid, created) ? LockHolder::Running : LockHolder::Gone;
}

bool IsRecordedHolderThread()
{
    volatile LockHolderRecord &record = Record();
    return record.dwProcessId == GetCurrentProcessId() && record.dwThreadId == GetCurrentThreadId();
}
