// wipe_sefra.cpp - WipeSefra.
#include "store/wipe_sefra.h"

#include "diagnostics/trace.h"
#include "store/profile_names.h"
#include "store/recurse_remove.h"
#include "suite/Palmet.h"
#include "win/paths.h"

DWORD WipeSefra(DWORD record, const std::string &profile, const std::string &volumePath, const char *target)
{
    const DWORD cleared = SetProfileParameter(record, profile.c_str(), kSchemaPasswordWrite, "");
    if (cleared != ERROR_SUCCESS)
        SB_TRACE("SetProfileParameter() failed! %s", GetErrorText(cleared).c_str());
    const std::string folder = JoinPath(volumePath, target);
    SB_TRACE("szFullPath:%s", folder.c_str());
    const DWORD removed = RecurseRemoveDirectory(folder.c_str(), nullptr, FALSE);
    if (removed != ERROR_SUCCESS)
        SB_TRACE("RecurseRemoveDirectory() failed! %s", GetErrorText(removed).c_str());
    return removed;
}
