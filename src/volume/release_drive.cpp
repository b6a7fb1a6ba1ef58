// release_drive.cpp - RecordSefraDrive and ReleaseSefraDrive (see
// release_drive.h).
#include "volume/release_drive.h"

#include "machine/held_records.h"
#include "machine/shared_block.h"
#include "volume/drive_label.h"
#include "volume/drive_link.h"

#include <cstring>

void RecordSefraDrive(char letter, const std::string &linkTarget)
{
    HeldRecord record;
    record.kind = HeldKind::DriveLink;
    record.chDrive = letter;
    record.bLabelled = true;
    record.path = linkTarget;
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
