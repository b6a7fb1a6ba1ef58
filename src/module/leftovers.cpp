// leftovers.cpp - clean-up after a dead dialog, lock holder or owner of
// drives and mounts (see leftovers.h).
#include "module/leftovers.h"

#include "diagnostics/trace.h"
#include "machine/held_records.h"
#include "machine/live_dialog.h"
#include "machine/shared_block.h"
#include "store/store_mount.h"
#include "suite/Kestor.h"
#include "volume/drive_label.h"
#include "volume/drive_link.h"
#include "volume/release_drive.h"

#include <windows.h>

#include <cstring>

namespace {

bool IsLiveDialogRecorded() { return g_pSefraboxDlg != 0 && IsRecordedDialogAlive(); }

bool IsSharedDrive(char letter) { return (letter | 0x20) == (g_szDriveLetter[0] | 0x20); }

// Undoes what record names; a drive or store that the shared block gives
// to a live dialog is left to it. A record is a file that anyone may write:
// a drive goes, with its label, only while it is still the link the library
// made. One that is not is left alone and so is its record, which the next
// caller looks at again (a drive whose store is not mounted now may lead
// to its folder again once it is); a record whose letter is free names
// nothing any more and goes.
void UndoHeld(const HeldRecord &record, bool liveDialog)
{
    const char drive[3] = {record.chDrive, ':', '\0'};
    switch (record.kind) {
    case HeldKind::DriveLink:
        if (IsSharedDrive(record.chDrive)) {
            if (!liveDialog)
                ReleaseSefraDrive();
        } else if (UnlinkRecordedDrive(drive, record.path, record.folder)) {
            if (record.bLabelled)
                SetDriveLabel(record.chDrive, nullptr, DriveLabelMode::Remove);
        } else if (IsDriveInUse(drive)) {
            SB_TRACE("Held record of process %u left alone: %s no longer leads to %.1023s",
                     static_cast<unsigned>(record.owner.dwProcessId), drive,
                     (record.folder.empty() ? record.path : record.folder).c_str());
            return;
        }
        break;
    case HeldKind::DiskMount:
        // Undone as recorded: none of the suite's calls tells which
        // container a letter and handle hold.
        UnMount_Volume(static_cast<unsigned char>(record.chDrive), record.dwHandle);
        break;
    case HeldKind::StoreMount:
        if (record.dwHandle == g_dwMountHandle) {
            if (!liveDialog) {
                std::memset(g_szVolumeName, 0, sizeof g_szVolumeName);
                UnmountStore();
            }
        } else if (StoreDeviceName(record.dwHandle) == record.path) {
            // Only while the handle still names that mount.
            UnMount_Volume(255, record.dwHandle);
        }
        break;
    case HeldKind::Mounting:
        break; // the call never told its handle: there is nothing to give back
    }
    ForgetHeldRecord(record);
}

} // namespace

void ClearDeadDialogLeftovers()
{
    std::memset(g_szVolumeName, 0, sizeof g_szVolumeName);
    g_pSefraboxDlg = 0;
    ReleaseSefraDrive();
    UnmountStore();
}

void ClearDeadHolderLeftovers()
{
    const bool liveDialog = IsLiveDialogRecorded();
    if (!liveDialog && (g_szVolumeName[0] != '\0' || g_dwMountHandle != 0 || g_szDriveLetter[0] != '\0'))
        SB_TRACE("Clean up after dead g_MountVolumeLock holder: %.767s, 0x%08X, %.11s", g_szVolumeName,
                 static_cast<unsigned>(g_dwMountHandle), g_szDriveLetter);
    // The holder's recorded drives first: they are undone only while they
    // lead into the store, which must still be mounted then.
    ClearDeadOwnersLeftovers();
    if (!liveDialog)
        ClearDeadDialogLeftovers();
}

void ClearDeadDialogIfAny()
{
    if (g_pSefraboxDlg == 0 || IsRecordedDialogAlive())
        return;
    SB_TRACE("Clean up after dead dialog: %.767s, 0x%08X, %.11s", g_szVolumeName,
             static_cast<unsigned>(g_dwMountHandle), g_szDriveLetter);
    ClearDeadDialogLeftovers();
}

void ClearDeadOwnersLeftovers()
{
    const bool liveDialog = IsLiveDialogRecorded();
    for (const HeldRecord &record : ReadHeldRecords()) {
        const ProcessIdentity &owner = record.owner;
        if (IsProcessRunning(owner.dwProcessId, owner.ftCreated))
            continue;
        if (!IsFromThisSystemStart(record)) {
            SB_TRACE("Held record of process %u from before the system's last start dropped: %c 0x%08X %.1023s",
                     static_cast<unsigned>(owner.dwProcessId), record.chDrive ? record.chDrive : '-',
                     static_cast<unsigned>(record.dwHandle), record.path.c_str());
            ForgetHeldRecord(record);
            continue;
        }
        SB_TRACE("Clean up after dead process %u: kind %u, %c, 0x%08X, %.1023s",
                 static_cast<unsigned>(owner.dwProcessId), static_cast<unsigned>(record.kind),
                 record.chDrive ? record.chDrive : '-', static_cast<unsigned>(record.dwHandle), record.path.c_str());
        UndoHeld(record, liveDialog);
    }
}
