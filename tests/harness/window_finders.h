// window_finders.h - finding shown top-level windows from outside the code that
// made them: those of a process or thread, of a class, with a title or
// child controls, and waiting (bounded) for one to come up. What a window
// found this way means (the main dialog, a message box, a file manager's
// window) is the caller's knowledge.
//
// A search reads class, title, visibility and child ids only, none of which
// sends a message to another process's window: it never waits for a
// window's thread, not even for one that hangs or is stopped in a hook.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The class of dialogs, message boxes among them.
inline constexpr char kDialogClass[] = "#32770";

// A search among the visible top-level windows of the desktop. Every
// narrowing given must hold:
//     ShownWindows().OfProcess(pid).OfClass(kDialogClass).WithControl(IDOK).First()
class CWindowQuery {
public:
    CWindowQuery &OfProcess(DWORD pid);
    CWindowQuery &OfThread(DWORD tid);
    // Class names compare as the system compares them, without case.
    CWindowQuery &OfClass(const char *name);
    CWindowQuery &Titled(const char *title);
    // Has a child with this control id; may be given more than once.
    CWindowQuery &WithControl(int id);
    // A test of the caller's own, made after the others.
    CWindowQuery &Where(std::function<bool(HWND)> test);

    bool Matches(HWND hwnd) const;
    // Those that match now, topmost first.
    std::vector<HWND> All() const;
    // The topmost that matches now, or null.
    HWND First() const;
    // Polls First() until a window matches, timeoutMs passes or giveUp
    // (when given) returns true; null when none came up.
    HWND WaitFor(DWORD timeoutMs, const std::function<bool()> &giveUp = {}) const;

private:
    std::optional<DWORD> m_pid, m_tid;
    std::optional<std::string> m_class, m_title;
    std::vector<int> m_controls;
    std::function<bool(HWND)> m_test;
};

inline CWindowQuery ShownWindows() { return CWindowQuery(); }

// The process that made the window (0 when it is gone).
DWORD ProcessOfWindow(HWND hwnd);

// The window's text as the system keeps it, at most 1023 bytes (for a
// window of another process no message is sent).
std::string WindowTitle(HWND hwnd);
