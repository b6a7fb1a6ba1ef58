// sendto_support.h - helpers of the Send To tests: the trace lines of every
// process, collected while requests run side by side, and a second thread
// that answers the dialogs and message boxes of the request processes as a
// user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The receiving side of the OutputDebugStringA monitor protocol, for all
// processes at once, on a thread of its own. One per session at a time.
class CTraceMonitor {
public:
    struct Line {
        DWORD pid;
        std::string text;
    };

    CTraceMonitor();
    ~CTraceMonitor();
    CTraceMonitor(const CTraceMonitor &) = delete;
    CTraceMonitor &operator=(const CTraceMonitor &) = delete;

    // False when the monitor could not be set up (another one runs).
    bool Ok() const { return m_ok; }
    // Every line so far, in the order written.
    std::vector<Line> Lines() const;
    std::vector<std::string> LinesOf(DWORD pid) const;
    // Polls until pid wrote a line containing text; false when process
    // ends first.
    bool WaitForLine(DWORD pid, const std::string &text, HANDLE process) const;

private:
    void Run();

    bool m_ok = false;
    HANDLE m_bufferReady = nullptr, m_dataReady = nullptr, m_mapping = nullptr, m_stop = nullptr;
    const char *m_view = nullptr;
    mutable std::mutex m_lock;
    std::vector<Line> m_lines;
    std::thread m_thread;
};

// Answers the windows of the processes it serves: a password dialog gets the
// password and OK (or Cancel when none is set), a message box is read and
// closed with OK. Other windows (a progress window) are left alone.
class CBoxAnswerer {
public:
    struct Box {
        DWORD pid;
        std::string caption;
        std::string text;
    };

    CBoxAnswerer();
    ~CBoxAnswerer();
    CBoxAnswerer(const CBoxAnswerer &) = delete;
    CBoxAnswerer &operator=(const CBoxAnswerer &) = delete;

    void Serve(DWORD pid);
    // nullptr: cancel every password dialog.
    void SetPassword(const char *password);
    // Runs on the answering thread when a password dialog of pid shows,
    // before it is answered; the request waits meanwhile.
    void OnPasswordDialog(std::function<void(DWORD pid, HWND dialog)> hook);

    std::vector<Box> Boxes() const;
    // The prompts of the password dialogs seen.
    std::vector<std::string> PasswordPrompts() const;

private:
    void Run();
    void Answer(HWND hwnd, DWORD pid);

    mutable std::mutex m_lock;
    std::set<DWORD> m_pids;
    std::set<HWND> m_answered;
    bool m_cancel = true;
    std::string m_password;
    std::function<void(DWORD, HWND)> m_hook;
    std::vector<Box> m_boxes;
    std::vector<std::string> m_prompts;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
