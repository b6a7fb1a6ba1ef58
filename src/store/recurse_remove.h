// recurse_remove.h - empties and removes a folder.
#pragma once

#include <windows.h>

// Removes every entry of path matching pattern (null or unreadable: "*.*"),
// descending into folders, then the folder itself. bContinue 0 stops at the
// first error. 0, 87 for an empty path, or the first Windows error. Links
// (junctions, symbolic links), path itself included, are removed
// themselves: nothing they lead to is ever deleted.
DWORD RecurseRemoveDirectory(const char *path, const char *pattern, BOOL bContinue);
