// process_identity.h - a process named so that a reused process id is not
// taken for the process that first had it: its id and its creation time.
#pragma once

#include <windows.h>

struct ProcessIdentity {
    DWORD dwProcessId;  // 0: nobody
    FILETIME ftCreated; // creation time of that process
};

// The calling process.
ProcessIdentity CurrentProcessIdentity();

// True while the process with that id still runs and was created at that
// time. False for id 0, for a process that ended (even while a handle to it
// keeps its id taken) and for a later process that reuses the id.
bool IsProcessRunning(DWORD dwProcessId, const FILETIME &ftCreated);
