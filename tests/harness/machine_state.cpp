// machine_state.cpp - TakeMachineState (see machine_state.h).
#include "machine_state.h"

#include "win/handles.h"

namespace {

// The number of subkeys and of values of an HKLM key; 0 when it is missing.
void CountKey(const char *path, DWORD *subkeys, DWORD *values)
{
    CRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS)
        RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr, nullptr,
                         nullptr, nullptr);
}

} // namespace

std::ostream &operator<<(std::ostream &os, const MachineState &state)
{
    return os << "drives 0x" << std::hex << state.drives << std::dec << ", labels " << state.labels << ", mounts "
              << state.mounts << ", links " << state.links;
}

MachineState TakeMachineState()
{
    MachineState state;
    state.drives = GetLogicalDrives();
    // A label is a key per drive letter; a mount a key per handle; a link
    // a value per drive letter.
    CountKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons", &state.labels, nullptr);
    CountKey("Software\\SefraStandins\\Mounts", &state.mounts, nullptr);
    CountKey("Software\\SefraStandins\\Links", nullptr, &state.links);
    return state;
}
