// box_answerer.h - the person at the screen while other processes work: a
// thread of its own that answers their password dialogs and message boxes.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

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
    // Serves every process but this one, also those started later.
    void ServeOtherProcesses();
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
    bool m_allOthers = false;
    std::set<HWND> m_answered;
    bool m_cancel = true;
    std::string m_password;
    std::function<void(DWORD, HWND)> m_hook;
    std::vector<Box> m_boxes;
    std::vector<std::string> m_prompts;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
