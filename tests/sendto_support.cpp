// sendto_support.cpp - CTraceMonitor and CBoxAnswerer (see sendto_support.h).
#include "sendto_support.h"

#include "window_finders.h"

#include <cstring>

namespace {

constexpr DWORD kBufferSize = 4096; // writer's process id, then the text
constexpr DWORD kPollMs = 20;
constexpr int kPasswordEdit = 1069;
constexpr int kPasswordPrompt = 1070;
constexpr int kMessageBoxText = 0xFFFF;

} // namespace

CTraceMonitor::CTraceMonitor()
{
    m_bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    const bool otherMonitor = GetLastError() == ERROR_ALREADY_EXISTS;
    m_dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER");
    m_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_mapping)
        m_view = static_cast<const char *>(MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, kBufferSize));
    m_ok = !otherMonitor && m_bufferReady && m_dataReady && m_view && m_stop;
    if (m_ok) {
        SetEvent(m_bufferReady);
        m_thread = std::thread([this] { Run(); });
    }
}

CTraceMonitor::~CTraceMonitor()
{
    if (m_thread.joinable()) {
        SetEvent(m_stop);
        m_thread.join();
    }
    if (m_view)
        UnmapViewOfFile(m_view);
    for (HANDLE h : {m_mapping, m_dataReady, m_bufferReady, m_stop})
        if (h)
            CloseHandle(h);
}

void CTraceMonitor::Run()
{
    const HANDLE waits[2] = {m_dataReady, m_stop};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
        DWORD writer = 0;
        std::memcpy(&writer, m_view, sizeof writer);
        const char *text = m_view + sizeof writer;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_lines.push_back({writer, std::string(text, strnlen(text, kBufferSize - sizeof writer))});
        }
        SetEvent(m_bufferReady);
    }
}

std::vector<CTraceMonitor::Line> CTraceMonitor::Lines() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_lines;
}

std::vector<std::string> CTraceMonitor::LinesOf(DWORD pid) const
{
    std::vector<std::string> lines;
    for (const Line &line : Lines())
        if (line.pid == pid)
            lines.push_back(line.text);
    return lines;
}

bool CTraceMonitor::WaitForLine(DWORD pid, const std::string &text, HANDLE process) const
{
    for (;;) {
        for (const std::string &line : LinesOf(pid))
            if (line.find(text) != std::string::npos)
                return true;
        if (WaitForSingleObject(process, kPollMs) != WAIT_TIMEOUT) {
            for (const std::string &line : LinesOf(pid))
                if (line.find(text) != std::string::npos)
                    return true;
            return false;
        }
    }
}

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
                            return m_pids.count(ProcessOfWindow(hwnd)) != 0 && m_answered.count(hwnd) == 0;
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
    if (HWND edit = GetDlgItem(hwnd, kPasswordEdit)) {
        std::function<void(DWORD, HWND)> hook;
        bool cancel;
        std::string password;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_answered.insert(hwnd);
            m_prompts.push_back(WindowTitle(GetDlgItem(hwnd, kPasswordPrompt)));
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
