// volume_lock.h - the store volume's lock, the question whether any program
// still has a file of the store open.
//
// A system whose volume lock answers truthfully refuses FSCTL_LOCK_VOLUME
// while any other handle is open on the volume: the lock is then the whole
// answer, tried 10 times 100 ms apart. Wine grants every volume lock, and a
// file system without volume locks refuses them all as unsupported; there
// the open-files probe (open_files_probe.h) answers before each attempt.
// Which of the two the system is, it tells itself: a lock granted while a
// handle of our own is open on the volume cannot be truthful.
//
// The probe looks below one folder of the volume, the one whose files a
// program may hold: for a visit, the open sefra's folder, which its drive
// shows. Other sefras have no drive while it is open, and the profile is
// the library's own, read under the same lock.
#pragma once

#include <windows.h>

#include <string>

enum class VolumeLockAnswer {
    Truthful,   // refused while another handle is open
    Untruthful, // granted regardless, or not supported: the probe answers
};

// The lock requests; the system's are DeviceIoControl with
// FSCTL_LOCK_VOLUME and FSCTL_UNLOCK_VOLUME, failures through GetLastError.
struct VolumeLockCalls {
    BOOL (*lock)(HANDLE volume);
    BOOL (*unlock)(HANDLE volume);
};
extern const VolumeLockCalls kSystemVolumeLock;

// Asks once, with a folder of the volume (root, a path with a trailing
// backslash) open. A folder that cannot be opened counts as truthful.
VolumeLockAnswer DetectVolumeLockAnswer(HANDLE volume, const std::string &root,
                                        const VolumeLockCalls &calls = kSystemVolumeLock);

// True when the volume could be locked (it stays locked; UnlockStoreVolume
// undoes it): up to 10 attempts, 100 ms apart after each failure. folder
// (trailing backslash) is where the probe looks, where it answers.
BOOL LockStoreVolume(HANDLE volume, const std::string &folder, const VolumeLockCalls &calls = kSystemVolumeLock);
BOOL UnlockStoreVolume(HANDLE volume, const VolumeLockCalls &calls = kSystemVolumeLock);

// The two above for the store volume of a visit, which may have been closed
// (INVALID_HANDLE_VALUE): then TRUE without asking.
BOOL LockOpenStoreVolume(HANDLE volume, const std::string &folder);
BOOL UnlockOpenStoreVolume(HANDLE volume);
