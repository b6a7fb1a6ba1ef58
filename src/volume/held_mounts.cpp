// held_mounts.cpp - DriveLinkRecord, CHeldDrive and CHeldDisk (see held_mounts.h).
#include "volume/held_mounts.h"

#include "diagnostics/trace.h"
#include "machine/held_records.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "volume/drive_link.h"
#include "win/paths.h"

HeldRecord DriveLinkRecord(char letter, const std::string &volumePath, const std::string &devicePath,
                           const std::string &target)
{
    HeldRecord record;
    record.kind = HeldKind::DriveLink;
    record.chDrive = letter;
    record.path = LinkTargetOf(volumePath, devicePath, target);
    record.folder = JoinPath(volumePath, target);
    return record;
}

DWORD CHeldDrive::Link(const char *driveText, const std::string &volumePath, const std::string &devicePath,
                       const std::string &target, DWORD defineFlags, bool quiet)
{
    Unlink();
    const HeldRecord record = DriveLinkRecord(driveText[0], volumePath, devicePath, target);
    WriteHeldRecord(record);
    const DWORD rc = LinkDrive(driveText, volumePath, devicePath, target, defineFlags);
    if (rc != 0) {
        ForgetHeldRecord(record);
        return rc;
    }
    m_drive[0] = driveText[0];
    m_drive[1] = ':';
    m_quiet = quiet;
    SB_TRACE("Drive %s linked to %s", m_drive, record.path.c_str());
    return 0;
}

void CHeldDrive::Unlink()
{
    if (!IsDriveLetter(m_drive[0]))
        return;
    UnlinkDrive(m_drive, m_quiet);
    ForgetHeldLink(m_drive[0]);
    m_drive[0] = '\0';
}

DWORD CHeldDisk::Mount(const char *file, char *driveText)
{
    Unmount();
    NoteMountStarting(file);
    DWORD handle = 0;
    const DWORD rc = Dravel_MountDriverByFileName(file, driveText, &handle, 0);
    driveText[9] = '\0';
    if (IsDriveLetter(driveText[0]) && handle != 0) {
        m_letter = driveText[0];
        m_handle = handle;
    }
    NoteMountDone(HeldKind::DiskMount, m_handle, m_letter, file ? file : "");
    return rc;
}

void CHeldDisk::Unmount()
{
    if (m_handle == 0)
        return;
    UnMount_Volume(static_cast<unsigned char>(m_letter), m_handle);
    ForgetHeldMount(HeldKind::DiskMount, m_handle);
    m_handle = 0;
    m_letter = 0;
}
