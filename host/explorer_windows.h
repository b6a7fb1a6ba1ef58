// explorer_windows.h - what the visit needs of the file manager's windows:
// which are shown, which came new, whether the shell lists them, placing
// one beside the dialog, and closing them as their user would.
#pragma once

#include <windows.h>

#include <vector>

// The shown top-level windows of the file manager's classes ("CabinetWClass",
// "ExploreWClass", and Wine's "ExplorerWClass"), of any process.
std::vector<HWND> ExplorerWindows();
// Those of ExplorerWindows() that are not in before.
std::vector<HWND> NewExplorers(const std::vector<HWND> &before);
// Whether the shell's window collection counts the file manager's windows
// (false under Wine without the shell-window provider: its collection
// answers E_NOTIMPL). Needs COM on the calling thread.
bool ShellListsItsWindows();
// Moves window to the left of dialog, at the dialog's top, narrowed to fit.
void PlaceBeside(HWND window, HWND dialog);
// WM_CLOSE to each, as a click on the close box sends it; then waits up to
// timeoutMs for their programs to end.
void CloseExplorers(const std::vector<HWND> &windows, DWORD timeoutMs);
