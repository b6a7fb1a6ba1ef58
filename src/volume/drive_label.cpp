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

// Deletes parent\name and everything below it, depth first; the first error
// stops the walk.
LONG DeleteKeyTree(HKEY parent, const char *name)
{
    CRegKey key;
    LONG rc = RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE, key.Receive());
    if (rc != ERROR_SUCCESS)
        return rc;
    for (;;) {
        char sub[256];
        DWORD cch = sizeof(sub);
        rc = RegEnumKeyExA(key.Get(), 0, sub, &cch, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS)
            break;
        if (rc != ERROR_SUCCESS)
            return rc;
        rc = DeleteKeyTree(key.Get(), sub);
        if (rc != ERROR_SUCCESS)
            return rc;
    }
    key.Reset();
    return RegDeleteKeyA(parent, name);
}

} // namespace

DWORD SetDriveLabel(int letter, const char *label, int set)
{
    const char ch = static_cast<char>(letter & 0xFF);
    // Anything but a drive letter would name DriveIcons itself: the removal
    // would take every letter's label with it.
    if (!IsDriveLetter(ch))
        return ERROR_INVALID_PARAMETER;
    if (set) {
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
    CRegKey parent;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDriveIconsKey, 0, KEY_ALL_ACCESS, parent.Receive());
    if (rc != ERROR_SUCCESS)
        return rc;
    const char name[2] = {ch, 0};
    return DeleteKeyTree(parent.Get(), name);
}
