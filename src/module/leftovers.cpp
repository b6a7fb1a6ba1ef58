// leftovers.cpp - clean-up after a dead dialog or lock holder (see
// leftovers.h).
#include "module/leftovers.h"

#include "diagnostics/trace.h"
#include "module/live_dialog.h"
#include "module/shared_block.h"
#include "store/store_mount.h"
#include "suite/Kestor.h"
#include "volume/drive_link.h"
#include "volume/release_drive.h"

#include <windows.h>

#include <cstring>

void ClearDeadDialogLeftovers()
{
    std::memset(g_szVolumeName, 0, sizeof g_szVolumeName);
    g_pSefraboxDlg = 0;
    ReleaseSefraDrive();
    UnmountStore();
}

void ClearDeadHolderLeftovers(char holderDrive)
{
    // A drive that is not the shared sefra drive: no label, no shared field.
    if (holderDrive != 0 && holderDrive != g_szDriveLetter[0]) {
        const char drive[3] = {holderDrive, ':', '\0'};
        UnlinkDrive(drive);
    }
    if (g_pSefraboxDlg != 0 && IsRecordedDialogAlive())
        return;
    if (g_szVolumeName[0] != '\0' || g_dwMountHandle != 0 || g_szDriveLetter[0] != '\0')
        SB_TRACE("Clean up after dead g_MountVolumeLock holder: %.767s, 0x%08X, %.11s", g_szVolumeName,
                 static_cast<unsigned>(g_dwMountHandle), g_szDriveLetter);
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
