// open_handles.h - whether some process holds a file below a folder open,
// read from the system's table of open handles: the quick answer of the
// open-files probe (open_files_probe.h), which otherwise opens every file
// of the tree.
#pragma once

#include <string>

enum class HandleTableAnswer {
    Held,    // a handle with data access names a file below the folder
    Free,    // every file handle with data access was named, none below it
    Unknown, // the table, a process or a handle could not be read
};

// folder: a folder path (trailing backslash or not). Counts the handles that
// forbid an exclusive open (read, write, append, execute or delete access)
// of files, not folders, in every process the caller may look into, its
// own included. Any handle of that kind that cannot be named makes the
// answer Unknown, so that the caller asks the files themselves.
HandleTableAnswer AskHandleTable(const std::string &folder);
