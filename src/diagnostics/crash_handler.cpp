// crash_handler.cpp - InstallCrashHandler and CrashFilter.
#include "diagnostics/crash_handler.h"

char g_szDumpPath[MAX_PATH];

void InstallCrashHandler() {}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS *info)
{
    (void)info;
    return EXCEPTION_CONTINUE_SEARCH;
}
