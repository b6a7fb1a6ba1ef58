// wipe_sefra.cpp - WipeSefra.
#include "store/wipe_sefra.h"

#include "diagnostics/trace.h"
#include "store/profile_names.h"
#include "store/recurse_remove.h"
#include "store/target_check.h"
#include "suite/Palmet.h"
#include "win/paths.h"

namespace {

// The number of a live record other than record that names target; 0 when
// none.
DWORD OtherLiveOwner(DWORD record, const std::string &profile, const char *target, const LiveRecordTest &isLive)
{
    for (const ProfileRecord &other : ReadSefraRecords(profile))
        if (other.number != record && IsSameFolderName(other.target, target) && isLive(other))
            return other.number;
    return 0;
}

bool IsGone(const std::string &path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace

DWORD WipeSefra(DWORD record, const std::string &profile, const std::string &volumePath, const char *target,
                const LiveRecordTest &isLive)
{
    const std::string folder = JoinPath(volumePath, target);
    if (const DWORD owner = OtherLiveOwner(record, profile, target, isLive)) {
        SB_TRACE("%s is the sefra of record %lu as well, kept with its password", folder.c_str(), owner);
        return ERROR_ACCESS_DENIED;
    }
    SB_TRACE("szFullPath:%s", folder.c_str());
    const DWORD removed = RecurseRemoveDirectory(folder.c_str(), nullptr, FALSE);
    if (removed != ERROR_SUCCESS)
        SB_TRACE_FAILED(removed, "RecurseRemoveDirectory()");
    if (!IsGone(folder)) {
        SB_TRACE("%s is still there, its password kept", folder.c_str());
        return removed;
    }
    const DWORD cleared = SetProfileParameter(record, profile.c_str(), kSchemaPasswordWrite, "");
    if (cleared != ERROR_SUCCESS)
        SB_TRACE_FAILED(cleared, "SetProfileParameter()");
    return removed;
}
