// ui_support.h - helpers of the user-interface tests: actions run inside a
// running message loop, the dialog windows of this thread, the module's
// message boxes, and a capture of the trace lines written while a test runs.
#pragma once

#include "window_finders.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Runs action from the message loop of this thread as soon as it is idle
// (a thread timer of 0 ms, killed before the action runs).
void RunFromLoop(std::function<void()> action);

// Pumps this thread's messages through the dialogs' pre-translation, as a
// dialog's modal loop does, until done() holds (true) or timeoutMs passed
// (false); between looks it waits up to pollMs for a message.
bool PumpDialogsUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD pollMs = 10);

// Visible top-level dialog windows (class #32770) of this thread.
std::vector<HWND> ThreadDialogs();

// The visible message boxes of the module (caption "保险箱"), on any thread.
CWindowQuery ModuleBoxes();
// The topmost of them, or null.
HWND FindModuleBox();

// Waits (bounded, waitMs) for such a box; presses the button command and
// returns the box's text, or "(no message box)".
std::string AnswerModuleBox(int command, DWORD waitMs = 15000);

// Posts a key press (down and up) to a window.
void PostKey(HWND hwnd, UINT vk);

// Collects the lines written to the debugger output channel by this process
// from construction to destruction (the channel raises an exception that a
// vectored handler sees before the system does). onLine, when given, sees
// each line on the writing thread before the write returns.
class CTraceCapture {
public:
    explicit CTraceCapture(std::function<void(const std::string &)> onLine = nullptr);
    ~CTraceCapture();
    CTraceCapture(const CTraceCapture &) = delete;
    CTraceCapture &operator=(const CTraceCapture &) = delete;
    // True when some line contains text.
    bool Contains(const std::string &text) const;
    std::vector<std::string> Lines() const;

private:
    void *m_handler;
};
