// open_files_probe.h - whether some program holds a file of a volume open,
// for the store volume's lock probe where the system's volume lock does not
// answer that question (under Wine the lock request succeeds regardless).
#pragma once

#include <string>

// true when a file below root (a folder path with a trailing backslash,
// such as "\\.\X:\") is open in some process in a way that forbids an
// exclusive open (every open for reading, writing or deletion does).
// Folders are not probed: the shell keeps handles on folders it watches,
// this dialog's own notification included. Unreadable entries count as free.
// The system's handle table answers first (open_handles.h); only where it
// cannot are the files opened one by one. When held is given, it receives
// the first such file found by that walk (empty otherwise), for
// IsFileHeldOpen to ask again first.
bool IsAnyFileHeldOpen(const std::string &root, std::string *held = nullptr);

// The same question for one file.
bool IsFileHeldOpen(const std::string &path);
