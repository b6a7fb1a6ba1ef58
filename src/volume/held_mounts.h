// held_mounts.h - the drives and disk mounts that a holder of
// g_MountVolumeLock makes for its own work: copy mode's temporary drive and
// platform disk, Send To's drive, the disk check's mount of the store.
//
// Each owner makes its drive or mount and records it together
// (held_records.h), and undoes and forgets both together when it goes, on
// every path out. Should its process die meanwhile, the next caller finds
// the record and undoes what it names. Callers hold g_MountVolumeLock.
#pragma once

#include "machine/held_records.h"

#include <windows.h>

#include <string>

// The record of letter linked to the sefra folder target of the store
// volume (LinkDrive's arguments): the link target and the folder that the
// volume path reaches.
HeldRecord DriveLinkRecord(char letter, const std::string &volumePath, const std::string &devicePath,
                           const std::string &target);

// A drive letter linked to a sefra folder.
class CHeldDrive {
public:
    CHeldDrive() = default;
    ~CHeldDrive() { Unlink(); }
    CHeldDrive(const CHeldDrive &) = delete;
    CHeldDrive &operator=(const CHeldDrive &) = delete;

    // Records, then links driveText as LinkDrive does. 0 or the link's
    // error; after an error nothing is linked or recorded. quiet: the shell
    // is not told when the drive goes (see UnlinkDrive).
    DWORD Link(const char *driveText, const std::string &volumePath, const std::string &devicePath,
               const std::string &target, DWORD defineFlags, bool quiet);
    // Unlinks and forgets the drive; nothing when none is linked.
    void Unlink();

private:
    char m_drive[3] = {};
    bool m_quiet = false;
};

// A container mounted under a drive letter of its own.
class CHeldDisk {
public:
    CHeldDisk() = default;
    ~CHeldDisk() { Unmount(); }
    CHeldDisk(const CHeldDisk &) = delete;
    CHeldDisk &operator=(const CHeldDisk &) = delete;

    // Records, then Dravel_MountDriverByFileName(file, driveText, ...):
    // driveText (10 bytes) receives the drive. The call's result; the mount
    // is held whenever the call gave a letter and a handle.
    DWORD Mount(const char *file, char *driveText);
    bool Mounted() const { return m_handle != 0; }
    char Letter() const { return m_letter; }
    DWORD Handle() const { return m_handle; }
    // UnMount_Volume(letter, handle) and the record forgotten; nothing when
    // no mount is held.
    void Unmount();

private:
    char m_letter = 0;
    DWORD m_handle = 0;
};
