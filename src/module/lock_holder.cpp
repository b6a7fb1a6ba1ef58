// lock_holder.cpp - the record of g_MountVolumeLock's holder (see
// lock_holder.h).
#include "module/lock_holder.h"

#include "module/process_identity.h"

namespace {

struct LockHolderRecord {
    DWORD dwProcessId;  // 0: none
    FILETIME ftCreated; // of that process
    char chDrive;       // letter of the holder's own drive, 0: none
};

constexpr DWORD kGuardWaitMs = 5000;
constexpr char kMappingName[] = "SefraboxLockHolder";
constexpr char kGuardName[] = "SefraboxLockHolderGuard";

// The mapping and the guard of this process, opened when the module loads
// and deliberately never closed (see lock_holder.h).
struct HolderObjects {
    HANDLE hGuard = nullptr;
    volatile LockHolderRecord *pRecord = nullptr;

    HolderObjects()
    {
        hGuard = CreateMutexA(nullptr, FALSE, kGuardName);
        HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(LockHolderRecord),
                                            kMappingName);
        if (mapping) {
            pRecord = static_cast<LockHolderRecord *>(
                MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(LockHolderRecord)));
            if (!pRecord)
                CloseHandle(mapping);
        }
    }
};

HolderObjects &Objects()
{
    static HolderObjects objects;
    return objects;
}

// Opens both at load, before any caller can need them.
[[maybe_unused]] const bool s_opened = (Objects(), true);

} // namespace

CLockHolderGuard::CLockHolderGuard()
{
    const HANDLE guard = Objects().hGuard;
    if (!guard)
        return;
    const DWORD waited = WaitForSingleObject(guard, kGuardWaitMs);
    m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    m_abandoned = waited == WAIT_ABANDONED;
}

CLockHolderGuard::~CLockHolderGuard()
{
    if (m_held)
        ReleaseMutex(Objects().hGuard);
}

void RecordLockHolder()
{
    volatile LockHolderRecord *record = Objects().pRecord;
    if (!record)
        return;
    const ProcessIdentity self = CurrentProcessIdentity();
    record->dwProcessId = self.dwProcessId;
    record->ftCreated.dwLowDateTime = self.ftCreated.dwLowDateTime;
    record->ftCreated.dwHighDateTime = self.ftCreated.dwHighDateTime;
    record->chDrive = 0;
}

void ClearLockHolder()
{
    volatile LockHolderRecord *record = Objects().pRecord;
    if (!record)
        return;
    record->dwProcessId = 0;
    record->ftCreated.dwLowDateTime = 0;
    record->ftCreated.dwHighDateTime = 0;
    record->chDrive = 0;
}

LockHolder RecordedLockHolder(DWORD *pdwProcessId)
{
    volatile LockHolderRecord *record = Objects().pRecord;
    const DWORD pid = record ? record->dwProcessId : 0;
    if (pdwProcessId)
        *pdwProcessId = pid;
    if (pid == 0)
        return LockHolder::None;
    FILETIME created;
    created.dwLowDateTime = record->ftCreated.dwLowDateTime;
    created.dwHighDateTime = record->ftCreated.dwHighDateTime;
    return IsProcessRunning(pid, created) ? LockHolder::Running : LockHolder::Gone;
}

char RecordedHolderDrive()
{
    volatile LockHolderRecord *record = Objects().pRecord;
    return record ? record->chDrive : 0;
}

void NoteHolderDrive(const char *driveText)
{
    CLockHolderGuard guard;
    volatile LockHolderRecord *record = Objects().pRecord;
    if (!guard.Held() || !record || record->dwProcessId != GetCurrentProcessId())
        return;
    const char letter = driveText ? driveText[0] : 0;
    record->chDrive = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z') ? letter : 0;
}
