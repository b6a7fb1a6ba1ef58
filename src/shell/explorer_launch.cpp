// explorer_launch.cpp - LaunchExplorer and its test seam.
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
