// crash_handler.h - the process's last-chance exception filter: runs the
// dump program, waits for it and tells the user where the dump is.
//
// The dump program is started by name, "userdump <thread id>*<address of the
// EXCEPTION_POINTERS record> brann.dmp", through the system's program search,
// in the process's current directory at the time of the crash. Only its end
// is awaited; its exit code is not looked at.
#pragma once

#include <windows.h>

// Full path of the dump file: the current directory at installation, a
// backslash unless it ends with one, "brann.dmp". The message box names it.
extern char g_szDumpPath[MAX_PATH];

// Fixes g_szDumpPath, deletes an old dump there and installs CrashFilter
// in place of any earlier filter. Once per process, from InitInstance.
void InstallCrashHandler();

// EXCEPTION_EXECUTE_HANDLER after the dump program ended and the message box
// was closed; EXCEPTION_CONTINUE_SEARCH (the system's default handling) when
// the dump program cannot be started.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS *info);
