// ui_support.cpp - loop actions, thread dialogs and trace capture for the UI tests.
#include "ui_support.h"

#include <map>
#include <mutex>

namespace {

std::map<UINT_PTR, std::function<void()>> &PendingActions()
{
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK ActionTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto &actions = PendingActions();
    auto it = actions.find(id);
    if (it == actions.end())
        return;
    std::function<void()> action = std::move(it->second);
    actions.erase(it);
    action();
}

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM l)
{
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0)
        reinterpret_cast<std::vector<HWND> *>(l)->push_back(hwnd);
    return TRUE;
}

std::mutex g_traceMutex;
std::vector<std::string> g_traceLines;

LONG CALLBACK TraceHandler(EXCEPTION_POINTERS *ep)
{
    const EXCEPTION_RECORD *rec = ep->ExceptionRecord;
    if (rec->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    std::string line;
    if (rec->ExceptionCode == DBG_PRINTEXCEPTION_C) {
        line = reinterpret_cast<const char *>(rec->ExceptionInformation[1]);
    } else if (rec->ExceptionCode == 0x4001000A) { // DBG_PRINTEXCEPTION_WIDE_C
        const auto *w = reinterpret_cast<const wchar_t *>(rec->ExceptionInformation[1]);
        char buf[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, w, -1, buf, sizeof(buf) - 1, nullptr, nullptr);
        line = buf;
    } else {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    std::lock_guard<std::mutex> lock(g_traceMutex);
    g_traceLines.push_back(line);
    return EXCEPTION_CONTINUE_SEARCH;
}

const char kModuleTitle[] = "\xB1\xA3\xCF\xD5\xCF\xE4"; // 保险箱

BOOL CALLBACK MatchModuleBox(HWND hwnd, LPARAM l)
{
    char cls[16] = {}, title[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    if (IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0 && lstrcmpA(title, kModuleTitle) == 0 &&
        GetDlgItem(hwnd, 0xFFFF)) {
        *reinterpret_cast<HWND *>(l) = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindModuleBox()
{
    HWND box = nullptr;
    EnumWindows(MatchModuleBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

std::string AnswerModuleBox(int command)
{
    for (int round = 0; round < 1500; ++round) {
        if (HWND box = FindModuleBox()) {
            char text[512] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(command), 0);
            return text;
        }
        Sleep(10);
    }
    return "(no message box)";
}

void RunFromLoop(std::function<void()> action)
{
    const UINT_PTR id = SetTimer(nullptr, 0, 0, ActionTimer);
    PendingActions()[id] = std::move(action);
}

std::vector<HWND> ThreadDialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void PostKey(HWND hwnd, UINT vk)
{
    const UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(hwnd, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

CTraceCapture::CTraceCapture()
{
    {
        std::lock_guard<std::mutex> lock(g_traceMutex);
        g_traceLines.clear();
    }
    m_handler = AddVectoredExceptionHandler(1, TraceHandler);
}

CTraceCapture::~CTraceCapture() { RemoveVectoredExceptionHandler(m_handler); }

bool CTraceCapture::Contains(const std::string &text) const
{
    for (const std::string &line : Lines())
        if (line.find(text) != std::string::npos)
            return true;
    return false;
}

std::vector<std::string> CTraceCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(g_traceMutex);
    return g_traceLines;
}
