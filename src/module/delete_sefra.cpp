// delete_sefra.cpp - DeleteSefra: empties the sefras of one platform and
// clears their passwords, under the machine-wide mount lock.
#include "Sefrabox.h"

#include "diagnostics/trace.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "module/leftovers.h"
#include "store/profile_records.h"
#include "store/store_mount.h"
#include "store/target_check.h"
#include "store/wipe_sefra.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "win/paths.h"
#include "win/pointers.h"

#include <cstring>
#include <string>

namespace {

// Empties every record of the dialog's rows that carries dwID; the result is
// the one of the last such record. Without the platform service's list of
// installed platforms, every record of another platform counts as live: a
// folder one of them names as well stays.
DWORD DeleteFromRecords(const std::string &volumePath, DWORD dwID)
{
    const std::string profile = JoinPath(volumePath, kProfileFileName);
    const auto otherPlatform = [dwID](const ProfileRecord &other) { return static_cast<DWORD>(other.id) != dwID; };
    DWORD result = ERROR_SUCCESS;
    ForEachProfileRecord(profile, RecordFields::IdAndTarget, kDialogRecordCount, [&](const ProfileRecord &record) {
        if (!record.NamesSefra() || static_cast<DWORD>(record.id) != dwID || !IsUsableTarget(record.target))
            return true;
        SB_TRACE("Delete VPF sefra");
        result = WipeSefra(record.number, profile, volumePath, record.target, otherPlatform);
        return true;
    });
    return result;
}

} // namespace

extern "C" int __cdecl DeleteSefra(const char *lpSefraName, unsigned long dwPlatformId)
{
    if (!IsReadableText(lpSefraName))
        return ERROR_INVALID_PARAMETER;

    const CMountVolumeLockHolder lock(kLockPollEntryMs);
    ClearDeadOwnersLeftovers();

    char volume[768] = {};
    bool ownMount = false;
    if (g_szVolumeName[0] == '\0' && g_dwMountHandle == 0) {
        const DWORD mounted = MountStore(lpSefraName, volume);
        volume[sizeof volume - 1] = '\0';
        SB_TRACE("szVolumeName: %s; %s", volume, GetErrorText(mounted).c_str());
        if (mounted != ERROR_SUCCESS)
            return static_cast<int>(mounted);
        ownMount = g_dwMountHandle != 0;
    }

    DWORD result = ERROR_INVALID_NAME;
    if (volume[0] != '\0') {
        result = DeleteFromRecords(WithSeparator(volume), dwPlatformId);
    }

    if (ownMount) {
        UnmountStore();
        std::memset(g_szVolumeName, 0, sizeof g_szVolumeName);
    }
    return static_cast<int>(result);
}
