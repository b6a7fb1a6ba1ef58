// machine_state.cpp - TakeMachineState (see machine_state.h).
#include "machine_state.h"

#include "shown_drives.h"
#include "win/handles.h"

#include <shlobj.h>

namespace {

// The number of subkeys and of values of an HKLM key; 0 when it is missing.
void CountKey(const char *path, DWORD *subkeys, DWORD *values)
{
    CRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Receive()) == ERROR_SUCCESS)
        RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr, nullptr,
                         nullptr, nullptr);
}

DWORD CountFiles(const std::string &pattern)
{
    WIN32_FIND_DATAA found{};
    CFindHandle find(FindFirstFileA(pattern.c_str(), &found));
    DWORD count = 0;
    if (find) {
        do
            ++count;
        while (FindNextFileA(find.Get(), &found));
    }
    return count;
}

} // namespace

std::string HeldRecordFolder()
{
    char base[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base);
    return std::string(base) + "\\Sefrabox\\Held";
}

std::ostream &operator<<(std::ostream &os, const MachineState &state)
{
    return os << "drives 0x" << std::hex << state.drives << std::dec << ", labels " << state.labels << ", mounts "
              << state.mounts << ", links " << state.links << ", held records " << state.held;
}

MachineState TakeMachineState()
{
    MachineState state;
    state.drives = GetLogicalDrives();
    // A label is a key per drive letter; a mount a key per handle; a link
    // a value per drive letter.
    CountKey(kDriveIconsKey, &state.labels, nullptr);
    CountKey("Software\\SefraStandins\\Mounts", &state.mounts, nullptr);
    CountKey("Software\\SefraStandins\\Links", nullptr, &state.links);
    state.held = CountFiles(HeldRecordFolder() + "\\*.rec");
    return state;
}
