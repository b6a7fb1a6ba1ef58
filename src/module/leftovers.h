// leftovers.h - what a dialog or a lock holder that died left in the shared
// block and on the machine, cleaned up by the next holder of
// g_MountVolumeLock. Callers hold the lock.
#pragma once

// The recorded dialog ended without its teardown: empties g_szVolumeName
// and g_pSefraboxDlg, releases the sefra drive and unmounts the store
// (g_szMountDeviceName stays). Results are not checked.
void ClearDeadDialogLeftovers();

// The lock was taken over from a holder that died: removes the drive it
// noted for itself (letter, 0 for none) and, unless a live dialog owns
// them, the store mount and sefra drive of the shared block.
void ClearDeadHolderLeftovers(char holderDrive);

// A recorded dialog whose process or window is gone is cleaned up.
void ClearDeadDialogIfAny();
