// machine_state.h - what a visit may leave behind on the machine, to compare
// before and after: drives, Explorer's drive labels, and the stand-ins'
// mount and drive-link records.
#pragma once

#include <windows.h>

#include <ostream>

struct MachineState {
    DWORD drives = 0; // GetLogicalDrives
    DWORD labels = 0; // drive labels under Explorer's DriveIcons key
    DWORD mounts = 0; // the stand-ins' mount records
    DWORD links = 0;  // the stand-ins' drive-link records

    bool operator==(const MachineState &o) const
    {
        return drives == o.drives && labels == o.labels && mounts == o.mounts && links == o.links;
    }
    bool operator!=(const MachineState &o) const { return !(*this == o); }
};

std::ostream &operator<<(std::ostream &os, const MachineState &state);

MachineState TakeMachineState();
