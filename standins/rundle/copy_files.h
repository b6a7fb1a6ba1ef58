// copy_files.h - listing a root folder and copying entries between folders.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rundle {

struct FolderEntry {
    std::string name;
    bool folder;
};

// The entries of folder (which ends in "\"), without "." and "..", sorted by
// name without regard to case. Empty when the folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string &folder);

// Copies the named entries of fromFolder (folders with their content) into
// toFolder with the shell's file operation, owned by window owner; the
// shell asks before replacing files. 0, ERROR_CANCELLED when the user
// stopped it, or the shell's error.
DWORD CopyEntries(HWND owner, const std::string &fromFolder, const std::vector<std::string> &names,
                  const std::string &toFolder);

} // namespace rundle
