// crash_handler.h - the process's last-chance exception filter: runs the
// dump program, waits for it and tells the user where the dump is.
#pragma once

#include <windows.h>

// Path of the dump file, fixed when the handler is installed.
extern char g_szDumpPath[MAX_PATH];

void InstallCrashHandler();
LONG WINAPI CrashFilter(EXCEPTION_POINTERS *info);
