// ui_support.h - helpers of the user-interface tests: actions run inside a
// running message loop, the dialog windows of this thread, the module's
// message boxes, the main dialog's hot key and the state of its rows.
#pragma once

#include "window_finders.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The id of a message box's text.
inline constexpr int kMessageBoxText = 0xFFFF;

// Runs action from the message loop of this thread as soon as it is idle
// (a thread timer of 0 ms, killed before the action runs).
void RunFromLoop(std::function<void()> action);

// Pumps this thread's messages through the dialogs' pre-translation, as a
// dialog's modal loop does, until done() holds (true) or timeoutMs passed
// (false); between looks it waits up to pollMs for a message.
bool PumpDialogsUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD pollMs = 10);
// Dispatches what is queued for this thread now, the same way.
void PumpPending();

// Visible top-level dialog windows (class #32770) of this thread.
std::vector<HWND> ThreadDialogs();

// The visible message boxes of the module (caption "保险箱"), on any thread.
CWindowQuery ModuleBoxes();
// The topmost of them, or null.
HWND FindModuleBox();

// Waits (bounded, waitMs, or until giveUp returns true) for such a box;
// presses the button command and returns the box's text, or "(no message
// box)".
std::string AnswerModuleBox(int command, DWORD waitMs = 15000, const std::function<bool()> &giveUp = {});

// Posts a key press (down and up) to a window.
void PostKey(HWND hwnd, UINT vk);

// The main dialog's hot key, Ctrl+Alt+Shift+L, as the system posts it to
// the window that registered it.
void PostHotKey(HWND dialog);

// Whether every control of the main dialog's three rows (platform button,
// password edit, arrow, set-password button) is enabled (enabled true), or
// every one disabled (false): the dialog locks them all while a sefra's
// window is open.
bool ControlsEnabled(HWND dialog, bool enabled);
