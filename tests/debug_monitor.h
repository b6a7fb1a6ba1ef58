// debug_monitor.h - collects what a child program writes to the debugger
// output channel, through the system-wide monitor protocol of
// OutputDebugStringA (the "DBWIN_BUFFER" mapping and its two events).
//
// A debugger loop (DEBUG_ONLY_THIS_PROCESS, ReadProcessMemory of the string)
// would be the direct way, but where 32-bit programs run through QEMU's
// user-mode emulator Wine can neither start a debuggee nor read another
// process's memory. The monitor protocol needs neither: the writer copies its
// string into shared memory itself. One monitor per session: the tests that
// use it run one after another.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct MonitoredRun {
    DWORD exitCode = MAXDWORD;
    std::vector<std::string> lines; // one entry per OutputDebugStringA call
};

// Runs commandLine to its end and returns the debug strings of that process.
// Reports a test failure when the monitor cannot be set up or the program
// cannot start.
MonitoredRun RunUnderDebugMonitor(const std::string &commandLine);
