// leftovers.h - what a dialog, a lock holder or any other process that died
// left in the shared block and on the machine, cleaned up by the next holder
// of g_MountVolumeLock. Callers hold the lock. The lock itself runs
// ClearDeadHolderLeftovers and ClearDeadDialogIfAny, handed to it at process
// attach (SetMountLockCleanup); the entry points call the others.
#pragma once

// The recorded dialog ended without its teardown: empties g_szVolumeName
// and g_pSefraboxDlg, releases the sefra drive and unmounts the store
// (g_szMountDeviceName stays). Results are not checked.
void ClearDeadDialogLeftovers();

// The lock was taken over from a holder that died: ClearDeadOwnersLeftovers,
// then, unless a live dialog owns them, the store mount and sefra drive of
// the shared block go.
void ClearDeadHolderLeftovers();

// A recorded dialog whose process or window is gone is cleaned up.
void ClearDeadDialogIfAny();

// Undoes every drive link, label and mount that the held records
// (held_records.h) name for a process that has ended, and forgets those
// records; also what the shared block no longer knows, once the last
// process that had the library loaded is gone. A process that may still
// run (one that cannot be looked at, in another session or of another
// user) keeps what it holds, and so does a live dialog. A record from
// before the system's last start is dropped: the restart undid it. Any
// user may write a record: a drive link goes only while it still leads to
// the store folder it was made for (UnlinkRecordedDrive).
void ClearDeadOwnersLeftovers();
