// own_dialog.h - finding this process's main dialog from another thread.
#pragma once

#include <windows.h>

#include <atomic>

// The visible top-level dialog of this process that has control id (any
// dialog for 0), or null; waits up to timeoutMs for it to come up, or until
// *stop turns true (the show call came back without a dialog).
HWND WaitForOwnDialog(int controlId, DWORD timeoutMs, const std::atomic<bool> *stop = nullptr);

// The dialog's hot key id; WM_HOTKEY with it ends the dialog with 0.
constexpr WPARAM kDialogHotKeyId = 0x1000;
