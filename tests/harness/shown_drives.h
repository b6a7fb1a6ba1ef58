// shown_drives.h - drive letters as the system lists them, and what
// Explorer shows for a drive: the label under its DriveIcons key in
// HKEY_LOCAL_MACHINE
// ("<letter>\DefaultLabel", the label as the key's default value).
#pragma once

#include <optional>
#include <string>

// Below HKEY_LOCAL_MACHINE; the key of every drive letter's settings.
inline constexpr char kDriveIconsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons";

// DriveIcons\<letter>, or a key below it ("DefaultLabel", "DefaultIcon").
std::string DriveIconsKey(char letter, const char *below = nullptr);

// Whether the system lists the drive (GetLogicalDrives); a letter in either
// case.
bool DriveExists(char letter);

// Whether the HKEY_LOCAL_MACHINE key exists.
bool MachineKeyExists(const std::string &path);
// The default value of the HKEY_LOCAL_MACHINE key as stored, a REG_SZ with
// its terminator; nothing when the key or the value is missing or has
// another type.
std::optional<std::string> MachineKeyText(const std::string &path);

// The label Explorer shows for the drive (without the terminator); nothing
// when it has none.
std::optional<std::string> DriveLabel(char letter);
