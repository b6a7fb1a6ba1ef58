// release_drive.cpp - ReleaseSefraDrive (see release_drive.h).
#include "volume/release_drive.h"

#include "module/shared_block.h"
#include "volume/drive_label.h"
#include "volume/drive_link.h"

#include <cstring>

void ReleaseSefraDrive()
{
    const char letter = g_szDriveLetter[0];
    if (!IsDriveLetter(letter))
        return;
    const char drive[3] = {letter, ':', '\0'};
    UnlinkDrive(drive);
    SetDriveLabel(letter, nullptr, 0);
    std::memset(g_szDriveLetter, 0, sizeof g_szDriveLetter);
}
