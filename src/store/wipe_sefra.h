// wipe_sefra.h - empties one sefra: its password in the profile and its
// folder in the volume root. Deletion and the clean-up of sefras whose
// platform is gone both do this.
#pragma once

#include <windows.h>

#include <string>

// Clears the Password of record in profile (a failure is traced and does
// not stop the removal), then removes volumePath + target with everything
// in it. The result of the removal. target must have passed IsUsableTarget.
DWORD WipeSefra(DWORD record, const std::string &profile, const std::string &volumePath, const char *target);
