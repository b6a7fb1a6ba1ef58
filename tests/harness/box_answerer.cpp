// box_answerer.cpp - CBoxAnswerer (see box_answerer.h).
#include "box_answerer.h"

#include "res/resource.h"
#include "ui_support.h"
#include "window_finders.h"

namespace {

constexpr DWORD kPollMs = 20;

} // namespace

CBoxAnswerer::CBoxAnswerer()
{
    m_thread = std::thread([this] { Run(); });
}

CBoxAnswerer::~CBoxAnswerer()
{
    m_stop = true;
    m_thread.join();
}

void CBoxAnswerer::Serve(DWORD pid)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_pids.insert(pid);
}

void CBoxAnswerer::ServeOtherProcesses()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_allOthers = true;
}

void CBoxAnswerer::SetPassword(const char *password)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_cancel = password == nullptr;
    m_password = password ? password : "";
}

void CBoxAnswerer::OnPasswordDialog(std::function<void(DWORD, HWND)> hook)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_hook = std::move(hook);
}

std::vector<CBoxAnswerer::Box> CBoxAnswerer::Boxes() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_boxes;
}

std::vector<std::string> CBoxAnswerer::PasswordPrompts() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_prompts;
}

void CBoxAnswerer::Run()
{
    while (!m_stop) {
        std::vector<HWND> found;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            found = ShownWindows()
                        .OfClass(kDialogClass)
                        .Where([this](HWND hwnd) {
                            const DWORD pid = ProcessOfWindow(hwnd);
                            const bool served = m_allOthers ? pid != GetCurrentProcessId() : m_pids.count(pid) != 0;
                            return served && m_answered.count(hwnd) == 0;
                        })
                        .All();
        }
        for (HWND hwnd : found)
            Answer(hwnd, ProcessOfWindow(hwnd));
        Sleep(kPollMs);
    }
}

void CBoxAnswerer::Answer(HWND hwnd, DWORD pid)
{
    if (HWND edit = GetDlgItem(hwnd, IDC_CHKPWD_EDIT)) {
        std::function<void(DWORD, HWND)> hook;
        bool cancel;
        std::string password;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_answered.insert(hwnd);
            m_prompts.push_back(WindowTitle(GetDlgItem(hwnd, IDC_CHKPWD_PROMPT)));
            hook = m_hook;
            cancel = m_cancel;
            password = m_password;
        }
        if (hook)
            hook(pid, hwnd);
        if (cancel) {
            PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
        } else {
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
            PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
        }
        return;
    }
    if (HWND text = GetDlgItem(hwnd, kMessageBoxText)) {
        std::lock_guard<std::mutex> hold(m_lock);
        m_answered.insert(hwnd);
        m_boxes.push_back({pid, WindowTitle(hwnd), WindowTitle(text)});
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    }
}
