// shown_drives.cpp - drive letters and their Explorer labels (see shown_drives.h).
#include "shown_drives.h"

#include "win/handles.h"

#include <windows.h>

#include <cctype>
#include <cstring>

std::string DriveIconsKey(char letter, const char *below)
{
    std::string key = std::string(kDriveIconsKey) + "\\" + letter;
    if (below)
        key += std::string("\\") + below;
    return key;
}

bool DriveExists(char letter)
{
    const int index = std::toupper(static_cast<unsigned char>(letter)) - 'A';
    return index >= 0 && index < 26 && ((GetLogicalDrives() >> index) & 1) != 0;
}

bool MachineKeyExists(const std::string &path)
{
    CRegKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

std::optional<std::string> MachineKeyText(const std::string &path)
{
    CRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return std::nullopt;
    char buf[512];
    DWORD cb = sizeof buf, type = 0;
    if (RegQueryValueExA(key.Get(), nullptr, nullptr, &type, reinterpret_cast<BYTE *>(buf), &cb) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::string(buf, cb);
}

std::optional<std::string> DriveLabel(char letter)
{
    const std::optional<std::string> stored = MachineKeyText(DriveIconsKey(letter, "DefaultLabel"));
    if (!stored)
        return std::nullopt;
    return std::string(stored->c_str(), strnlen(stored->c_str(), stored->size()));
}
