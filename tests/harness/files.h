// files.h - scratch folders, folder trees removed, whole files read and
// written.
#pragma once

#include <string>

// A new empty folder under the system's temporary folder, removed with
// everything in it at the end of the scope.
class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder &) = delete;
    CScratchFolder &operator=(const CScratchFolder &) = delete;

    // Without a trailing backslash; empty when no folder could be made.
    const std::string &Path() const { return m_path; }
    std::string operator/(const std::string &name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Creates folder; true also when it exists already.
bool MakeFolder(const std::string &folder);

// Removes folder with everything in it, best effort. A link inside (a
// reparse point) is removed itself, never followed: what it leads to stays.
void RemoveTree(const std::string &folder);

bool FileExists(const std::string &path);
// Creates or replaces the file with text.
bool WriteText(const std::string &path, const std::string &text);
// The whole file; empty when it cannot be read.
std::string ReadText(const std::string &path);
