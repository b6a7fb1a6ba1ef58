// explorer_launch.h - the call that starts the system file manager for
// CreateNewShellWindow, the seam through which tests take its place, and
// what the started program says about the window that is to come.
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

// Whether the program a launch starts is the one that shows the window, so
// that its end before a window came means that no new window will come.
// Under Wine (ntdll exports wine_get_version) the file manager runs each
// window in the program started for it; only a folder that a window shows
// already is handed to that window, and the program ends. On Windows
// "Explorer.exe" hands every request to the running shell, or to a browser
// process of its own, and ends at once: there its end tells nothing, and
// false is answered.
bool LaunchedExplorerShowsItsWindow();
