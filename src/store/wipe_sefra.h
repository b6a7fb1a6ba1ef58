// wipe_sefra.h - empties one sefra: its folder in the volume root and, once
// that is gone, its password in the profile. Deletion and the clean-up of
// sefras whose platform is gone both do this.
#pragma once

#include "store/profile_records.h"

#include <windows.h>

#include <functional>
#include <string>

// Whether a record's sefra is in use, so that its folder must stay.
using LiveRecordTest = std::function<bool(const ProfileRecord &)>;

// Removes volumePath + target with everything in it, then clears the
// Password of record in profile (a failed clear is traced). The password is
// cleared only when the folder is gone: a removal that stops part-way keeps
// it (traced), so what is left never loses its protection. A folder that
// another record passing isLive also names (IsSameFolderName) is not
// touched, nor the password: the result is then ERROR_ACCESS_DENIED.
// Otherwise the result of the removal. target must have passed
// IsUsableTarget.
DWORD WipeSefra(DWORD record, const std::string &profile, const std::string &volumePath, const char *target,
                const LiveRecordTest &isLive);
