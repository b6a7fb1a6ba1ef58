// held_records.h - the durable record of every drive link and mount the
// library makes, with the process that owns it, so that what a process
// leaves when it dies is undone by the next caller, also after the last
// process that had the library loaded (and with it the shared block) is gone.
//
// Where: one file per drive or mount in the folder "Sefrabox\Held" of the
// machine's common application data (CSIDL_COMMON_APPDATA). Every process
// of every user and session reads that one folder, and it outlives them all.
// Its two folders are made with full rights for the system, the
// administrators and every signed-in user, inherited by the files: a
// standard user's process (Send To runs in the user's context) may write
// records and remove what another user's dead process left. A key under
// HKEY_LOCAL_MACHINE would be closed to standard users, one under
// HKEY_CURRENT_USER unseen by other users. So anyone may write a record:
// what it names is looked at before it is undone (leftovers.h).
//
// A record is written before its link or mount, completed once the call has
// told its handle, and removed after the undo. Every record carries when the
// system started, so that one left from before a restart, whose drives and
// mounts went with the restart, is dropped, not undone. A record that cannot
// be written is traced and the work goes on: while some process has the
// library loaded the shared block still speaks for it.
//
// Callers hold g_MountVolumeLock.
#pragma once

#include "machine/process_identity.h"

#include <windows.h>

#include <string>
#include <vector>

enum class HeldKind : DWORD {
    DriveLink = 1,  // a drive letter linked to a sefra folder
    StoreMount = 2, // the store, mounted by MountStoreVolume
    DiskMount = 3,  // a container mounted under a letter (Dravel_MountDriverByFileName)
    Mounting = 4,   // a mount under way, whose handle is not known yet
};

struct HeldRecord {
    HeldKind kind = HeldKind::DriveLink;
    ProcessIdentity owner{};
    DWORD dwSystemStart = 0; // when the system started, in ms modulo 2^32
    char chDrive = 0;        // DriveLink, DiskMount: the letter
    bool bLabelled = false;  // DriveLink: Explorer's label key was written for it
    DWORD dwHandle = 0;      // StoreMount, DiskMount: the mount handle
    // DriveLink: what the drive was linked to; StoreMount: the device name;
    // DiskMount, Mounting: the container.
    std::string path;
    // DriveLink: the linked folder as the store volume's path reaches it
    // (JoinPath of the volume path and the Target), which can be opened and
    // compared with the drive's root; "" in a record that predates it.
    std::string folder;
};

// Writes record as this process's own (owner and system start filled in);
// false, traced, when it cannot.
bool WriteHeldRecord(HeldRecord record);
// Removes the record of a drive link, or of a mount of kind with handle.
void ForgetHeldLink(char drive);
void ForgetHeldMount(HeldKind kind, DWORD handle);
void ForgetHeldRecord(const HeldRecord &record);

// A mount of container is about to be made by this process.
void NoteMountStarting(const char *container);
// The mount is made (handle not 0): its record replaces the note; or it
// failed (handle 0): the note goes.
void NoteMountDone(HeldKind kind, DWORD handle, char drive, const std::string &path);

// Every record on the machine, drive links first, then disk mounts, store
// mounts and mounts under way; at most a few hundred.
std::vector<HeldRecord> ReadHeldRecords();

// False for a record made before the system's last start.
bool IsFromThisSystemStart(const HeldRecord &record);
