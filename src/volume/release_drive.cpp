// release_drive.cpp - ReleaseSefraDrive (see release_drive.h).
#include "volume/release_drive.h"

#include "Kestor.h"
#include "module/app.h"
#include "module/shared_block.h"
#include "volume/drive_label.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

void ReleaseSefraDrive()
{
    const char letter = g_szDriveLetter[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')))
        return;
    const char drive[3] = {letter, ':', '\0'};
    if (g_bXpFamily == 1) {
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, drive, nullptr);
    } else {
        char linkName[32];
        std::snprintf(linkName, sizeof linkName, "\\DosDevices\\%s", drive);
        Our_IoCreateSymbolicLink(linkName, "", 0);
        const char root[4] = {letter, ':', '\\', '\0'};
        SHChangeNotify(SHCNE_DRIVEREMOVED, SHCNF_PATHA | SHCNF_FLUSH, root, nullptr);
    }
    SetDriveLabel(letter, nullptr, 0);
    std::memset(g_szDriveLetter, 0, sizeof g_szDriveLetter);
}
