// release_drive.cpp - RecordSefraDrive and ReleaseSefraDrive (see
// release_drive.h).
#include "volume/release_drive.h"

#include "machine/held_records.h"
#include "machine/shared_block.h"
#include "volume/drive_label.h"
#include "volume/drive_link.h"
#include "volume/held_mounts.h"

#include <cstring>

void RecordSefraDrive(char letter, const std::string &volumePath, const std::string &devicePath,
                      const std::string &target)
{
    HeldRecord record = DriveLinkRecord(letter, volumePath, devicePath, target);
    record.bLabelled = true;
    WriteHeldRecord(record);
}

void ReleaseSefraDrive()
{
    const char letter = g_szDriveLetter[0];
    if (!IsDriveLetter(letter))
        return;
    const char drive[3] = {letter, ':', '\0'};
    UnlinkDrive(drive);
    SetDriveLabel(letter, nullptr, DriveLabelMode::Remove);
    std::memset(g_szDriveLetter, 0, sizeof g_szDriveLetter);
    ForgetHeldLink(letter);
}
