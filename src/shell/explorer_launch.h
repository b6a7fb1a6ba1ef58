// explorer_launch.h - the call that starts the system file manager for
// CreateNewShellWindow, and the seam through which tests take its place.
#pragma once

#include <windows.h>
#include <shellapi.h>

using ExplorerLaunchFn = BOOL(WINAPI *)(SHELLEXECUTEINFOA *info);

// ShellExecuteExA, unless a test installed another call.
BOOL LaunchExplorer(SHELLEXECUTEINFOA *info);

// For tests only: every later launch goes to fn (null: ShellExecuteExA
// again). Returns the call installed before. Not thread-safe: set it while
// no dialog is running.
ExplorerLaunchFn SetExplorerLaunchForTesting(ExplorerLaunchFn fn);
