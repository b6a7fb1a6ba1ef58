// machine_state.h - what a visit may leave behind on the machine, to compare
// before and after: drives, Explorer's drive labels, the stand-ins' mount
// and drive-link records, and the library's own records of the drives and
// mounts it holds.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>

struct MachineState {
    DWORD drives = 0; // GetLogicalDrives
    DWORD labels = 0; // drive labels under Explorer's DriveIcons key
    DWORD mounts = 0; // the stand-ins' mount records
    DWORD links = 0;  // the stand-ins' drive-link records
    DWORD held = 0;   // the library's records of the drives and mounts it holds

    bool operator==(const MachineState &o) const
    {
        return drives == o.drives && labels == o.labels && mounts == o.mounts && links == o.links && held == o.held;
    }
    bool operator!=(const MachineState &o) const { return !(*this == o); }
};

std::ostream &operator<<(std::ostream &os, const MachineState &state);

MachineState TakeMachineState();

// The folder of the library's records of its drives and mounts (one file
// "*.rec" each), in the machine's common application data.
std::string HeldRecordFolder();
