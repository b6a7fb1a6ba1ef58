// ui_support.cpp - loop actions, the dialogs' pump, thread dialogs and
// trace capture for the UI tests.
#include "ui_support.h"

#include "clock.h"
#include "win/dialog.h"

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

std::mutex g_traceMutex;
std::vector<std::string> g_traceLines;
std::function<void(const std::string &)> g_onTraceLine;

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
    if (g_onTraceLine)
        g_onTraceLine(line);
    std::lock_guard<std::mutex> lock(g_traceMutex);
    g_traceLines.push_back(line);
    return EXCEPTION_CONTINUE_SEARCH;
}

const char kModuleTitle[] = "\xB1\xA3\xCF\xD5\xCF\xE4"; // 保险箱

} // namespace

CWindowQuery ModuleBoxes()
{
    // The main dialog carries the same caption but no message text.
    return ShownWindows().OfClass(kDialogClass).Titled(kModuleTitle).WithControl(0xFFFF);
}

HWND FindModuleBox() { return ModuleBoxes().First(); }

std::string AnswerModuleBox(int command, DWORD waitMs)
{
    const HWND box = ModuleBoxes().WaitFor(waitMs);
    if (!box)
        return "(no message box)";
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(command), 0);
    return text;
}

void RunFromLoop(std::function<void()> action)
{
    const UINT_PTR id = SetTimer(nullptr, 0, 0, ActionTimer);
    PendingActions()[id] = std::move(action);
}

bool PumpDialogsUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD pollMs)
{
    const double end = NowMs() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CDialog::PreTranslateThreadMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (done())
            return true;
        if (NowMs() > end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
}

std::vector<HWND> ThreadDialogs() { return ShownWindows().OfThread(GetCurrentThreadId()).OfClass(kDialogClass).All(); }

void PostKey(HWND hwnd, UINT vk)
{
    const UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(hwnd, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

CTraceCapture::CTraceCapture(std::function<void(const std::string &)> onLine)
{
    {
        std::lock_guard<std::mutex> lock(g_traceMutex);
        g_traceLines.clear();
    }
    g_onTraceLine = std::move(onLine);
    m_handler = AddVectoredExceptionHandler(1, TraceHandler);
}

CTraceCapture::~CTraceCapture()
{
    RemoveVectoredExceptionHandler(m_handler);
    g_onTraceLine = nullptr;
}

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
