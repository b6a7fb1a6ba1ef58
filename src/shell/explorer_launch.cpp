// explorer_launch.cpp - LaunchExplorer, its test seam, and whether the
// launched program is the window's own.
#include "shell/explorer_launch.h"

namespace {
ExplorerLaunchFn g_pfnLaunch = nullptr;
} // namespace

BOOL LaunchExplorer(SHELLEXECUTEINFOA *info) { return g_pfnLaunch ? g_pfnLaunch(info) : ShellExecuteExA(info); }

ExplorerLaunchFn SetExplorerLaunchForTesting(ExplorerLaunchFn fn)
{
    const ExplorerLaunchFn before = g_pfnLaunch;
    g_pfnLaunch = fn;
    return before;
}

bool LaunchedExplorerShowsItsWindow()
{
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}
