// volume_lock.cpp - the store volume's lock (see volume_lock.h).
#include "volume/volume_lock.h"

#include "volume/open_files_probe.h"
#include "win/handles.h"

#include <winioctl.h>

namespace {

constexpr int kLockAttempts = 10;
constexpr DWORD kLockRetryMs = 100;

BOOL SystemControl(HANDLE volume, DWORD code)
{
    DWORD returned = 0;
    return DeviceIoControl(volume, code, nullptr, 0, nullptr, 0, &returned, nullptr);
}

BOOL SystemLock(HANDLE volume) { return SystemControl(volume, FSCTL_LOCK_VOLUME); }
BOOL SystemUnlock(HANDLE volume) { return SystemControl(volume, FSCTL_UNLOCK_VOLUME); }

// A file system without volume locks answers the control code so.
bool IsUnsupported(DWORD code) { return code == ERROR_INVALID_FUNCTION || code == ERROR_NOT_SUPPORTED; }

} // namespace

const VolumeLockCalls kSystemVolumeLock{SystemLock, SystemUnlock};

VolumeLockAnswer DetectVolumeLockAnswer(HANDLE volume, const std::string &root, const VolumeLockCalls &calls)
{
    const CFileHandle own(CreateFileA(root.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!own)
        return VolumeLockAnswer::Truthful;
    if (calls.lock(volume)) {
        calls.unlock(volume);
        return VolumeLockAnswer::Untruthful;
    }
    return IsUnsupported(GetLastError()) ? VolumeLockAnswer::Untruthful : VolumeLockAnswer::Truthful;
}

BOOL LockStoreVolume(HANDLE volume, const std::string &folder, const VolumeLockCalls &calls)
{
    const bool probe = DetectVolumeLockAnswer(volume, folder, calls) == VolumeLockAnswer::Untruthful;
    // The file the probe last found held is asked first: while it stays
    // held, an attempt costs one open instead of a walk of the whole tree.
    std::string held;
    BOOL locked = FALSE;
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        const bool busy = probe && ((!held.empty() && IsFileHeldOpen(held)) || IsAnyFileHeldOpen(folder, &held));
        if (!busy)
            locked = calls.lock(volume) || (probe && IsUnsupported(GetLastError()));
        if (locked)
            break;
        Sleep(kLockRetryMs);
    }
    return locked;
}

BOOL UnlockStoreVolume(HANDLE volume, const VolumeLockCalls &calls)
{
    return calls.unlock(volume) || IsUnsupported(GetLastError());
}

BOOL LockOpenStoreVolume(HANDLE volume, const std::string &folder)
{
    return volume == INVALID_HANDLE_VALUE ? TRUE : LockStoreVolume(volume, folder);
}

BOOL UnlockOpenStoreVolume(HANDLE volume) { return volume == INVALID_HANDLE_VALUE ? TRUE : UnlockStoreVolume(volume); }
