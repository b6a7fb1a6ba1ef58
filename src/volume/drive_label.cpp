// drive_label.cpp - SetDriveLabel: writing and removing Explorer's label key
// of one drive letter.
#include "volume/drive_label.h"

#include "volume/drive_link.h"
#include "win/handles.h"
#include "win/pointers.h"

#include <cstdio>
#include <cstring>

namespace {

const char kDriveIconsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons";
const char kLabelKeyFormat[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\%c\\DefaultLabel";

const char kLabelKeyName[] = "DefaultLabel";

// Deletes parent\name when it holds neither values nor subkeys.
LONG DeleteKeyIfEmpty(HKEY parent, const char *name)
{
    CRegKey key;
    LONG rc = RegOpenKeyExA(parent, name, 0, KEY_READ, key.Receive());
    if (rc != ERROR_SUCCESS)
        return rc;
    DWORD subkeys = 0, values = 0;
    rc = RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                          nullptr, nullptr);
    key.Reset();
    if (rc != ERROR_SUCCESS || subkeys != 0 || values != 0)
        return rc;
    return RegDeleteKeyA(parent, name);
}

} // namespace

DWORD SetDriveLabel(int letter, const char *label, DriveLabelMode mode)
{
    const char ch = static_cast<char>(letter & 0xFF);
    // Anything but a drive letter would name DriveIcons itself: the removal
    // would take every letter's label with it.
    if (!IsDriveLetter(ch))
        return ERROR_INVALID_PARAMETER;
    if (mode == DriveLabelMode::Write) {
        if (!label || !IsReadableText(label))
            return ERROR_INVALID_PARAMETER;
        char path[sizeof(kLabelKeyFormat)];
        snprintf(path, sizeof(path), kLabelKeyFormat, ch);
        CRegKey key;
        LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, key.Receive(), nullptr);
        if (rc != ERROR_SUCCESS)
            return rc;
        return RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(label),
                              static_cast<DWORD>(strlen(label) + 1));
    }
    // Only what Write wrote goes: the label value, then its key and the
    // letter's key when nothing else is left in them (a DefaultIcon of the
    // letter stays).
    CRegKey icons, letterKey, labelKey;
    const char name[2] = {ch, 0};
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriveIconsKey, 0, KEY_ALL_ACCESS, icons.Receive());
    if (rc == ERROR_SUCCESS)
        rc = RegOpenKeyExA(icons.Get(), name, 0, KEY_ALL_ACCESS, letterKey.Receive());
    if (rc == ERROR_SUCCESS)
        rc = RegOpenKeyExA(letterKey.Get(), kLabelKeyName, 0, KEY_ALL_ACCESS, labelKey.Receive());
    if (rc == ERROR_SUCCESS)
        rc = RegDeleteValueA(labelKey.Get(), nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    labelKey.Reset();
    rc = DeleteKeyIfEmpty(letterKey.Get(), kLabelKeyName);
    letterKey.Reset();
    if (rc == ERROR_SUCCESS)
        rc = DeleteKeyIfEmpty(icons.Get(), name);
    return rc;
}
