// live_window.h - whether the Explorer window a dialog shows is still open.
#pragma once

#include <windows.h>

// A window being destroyed is hidden first; the platform file manager keeps
// a closed window hidden until its program has ended, seconds later. Until
// then the user has closed it already, so only a shown window counts.
inline bool IsLiveWindow(HWND hwnd) { return ::IsWindow(hwnd) && ::IsWindowVisible(hwnd); }
