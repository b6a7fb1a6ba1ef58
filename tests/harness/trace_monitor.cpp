// trace_monitor.cpp - the receiving side of the OutputDebugStringA monitor
// protocol (wait for "DBWIN_DATA_READY", read the writer's process id and
// text from "DBWIN_BUFFER", hand the buffer back with "DBWIN_BUFFER_READY"),
// and the capture of this process's own lines.
#include "trace_monitor.h"

#include "clock.h"
#include "process.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

constexpr DWORD kBufferSize = 4096; // the writer's process id, then the text
constexpr DWORD kPollMs = 20;

// A line of the monitor's own process that marks how far it has read; no
// reader of the trace ever sees one.
const char kMarkPrefix[] = "\x7Ftrace monitor mark ";

bool IsMark(const std::string &text, unsigned *mark)
{
    const size_t prefix = sizeof kMarkPrefix - 1;
    if (text.compare(0, prefix, kMarkPrefix) != 0)
        return false;
    *mark = static_cast<unsigned>(std::strtoul(text.c_str() + prefix, nullptr, 10));
    return true;
}

template <typename It> double TimeOf(It begin, It end, DWORD pid, const std::string &prefix)
{
    for (It line = begin; line != end; ++line)
        if (line->pid == pid && line->text.compare(0, prefix.size(), prefix) == 0)
            return line->ms;
    return -1;
}

} // namespace

size_t CountLinesWith(const std::vector<std::string> &lines, const std::string &text)
{
    return static_cast<size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string &line) { return line.find(text) != std::string::npos; }));
}

CTraceMonitor::CTraceMonitor() : m_bufferReady(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY"))
{
    if (!m_bufferReady || GetLastError() == ERROR_ALREADY_EXISTS)
        return;
    m_dataReady.Reset(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY"));
    m_mapping.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER"));
    m_stop.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (m_mapping)
        m_view.Reset(MapViewOfFile(m_mapping.Get(), FILE_MAP_READ, 0, 0, kBufferSize));
    m_ready = m_dataReady && m_stop && m_view;
    if (m_ready) {
        SetEvent(m_bufferReady.Get());
        m_thread = std::thread([this] { Run(); });
    }
}

CTraceMonitor::~CTraceMonitor()
{
    if (m_thread.joinable()) {
        SetEvent(m_stop.Get());
        m_thread.join();
    }
}

void CTraceMonitor::Run()
{
    const HANDLE waits[2] = {m_dataReady.Get(), m_stop.Get()};
    const auto buffer = static_cast<const char *>(m_view.Get());
    const DWORD self = GetCurrentProcessId();
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
        TraceLine line{NowMs(), 0, std::string()};
        std::memcpy(&line.pid, buffer, sizeof line.pid);
        const char *text = buffer + sizeof line.pid;
        line.text.assign(text, strnlen(text, kBufferSize - sizeof line.pid));
        SetEvent(m_bufferReady.Get());

        std::lock_guard<std::mutex> hold(m_lock);
        unsigned mark = 0;
        if (line.pid == self && IsMark(line.text, &mark)) {
            m_marksTaken = std::max(m_marksTaken, mark);
            m_caughtUp.notify_all();
        } else {
            m_lines.push_back(std::move(line));
        }
    }
}

std::vector<TraceLine> CTraceMonitor::Lines() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_lines;
}

std::vector<std::string> CTraceMonitor::LinesOf(DWORD pid) const
{
    std::vector<std::string> lines;
    for (const TraceLine &line : Lines())
        if (line.pid == pid)
            lines.push_back(line.text);
    return lines;
}

double CTraceMonitor::FirstLine(DWORD pid, const std::string &prefix) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return TimeOf(m_lines.begin(), m_lines.end(), pid, prefix);
}

double CTraceMonitor::LastLine(DWORD pid, const std::string &prefix) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return TimeOf(m_lines.rbegin(), m_lines.rend(), pid, prefix);
}

bool CTraceMonitor::CatchUp(DWORD timeoutMs)
{
    if (!m_ready)
        return false;
    unsigned mark = 0;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        mark = ++m_marksWritten;
    }
    // The protocol hands the buffer from writer to writer in turn: this line
    // is taken after every line written before it.
    OutputDebugStringA((kMarkPrefix + std::to_string(mark)).c_str());
    std::unique_lock<std::mutex> hold(m_lock);
    return m_caughtUp.wait_for(hold, std::chrono::milliseconds(timeoutMs), [&] { return m_marksTaken >= mark; });
}

bool CTraceMonitor::WaitForLine(DWORD pid, const std::string &text, HANDLE process)
{
    for (;;) {
        if (CountLinesWith(LinesOf(pid), text) != 0)
            return true;
        if (WaitForSingleObject(process, kPollMs) != WAIT_TIMEOUT) {
            CatchUp();
            return CountLinesWith(LinesOf(pid), text) != 0;
        }
    }
}

MonitoredRun RunUnderDebugMonitor(const std::string &commandLine)
{
    MonitoredRun run;
    CTraceMonitor monitor;
    if (!monitor.Ready()) {
        run.problem = "no debug output monitor: it cannot be set up, or another one runs";
        return run;
    }
    const CKernelHandle process = StartProgram(commandLine);
    if (!process) {
        run.problem = "cannot start " + commandLine;
        return run;
    }
    WaitForSingleObject(process.Get(), INFINITE);
    if (!monitor.CatchUp())
        run.problem = "the monitor did not take the program's last lines";
    run.exitCode = ExitCodeOf(process.Get());
    run.lines = monitor.LinesOf(GetProcessId(process.Get()));
    return run;
}

// ---------------------------------------------------------------- capture

namespace {

std::mutex g_captureMutex;
std::vector<std::string> g_capturedLines;
std::function<void(const std::string &)> g_onCapturedLine;

LONG CALLBACK CaptureHandler(EXCEPTION_POINTERS *ep)
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
    unsigned mark = 0;
    if (IsMark(line, &mark))
        return EXCEPTION_CONTINUE_SEARCH;
    if (g_onCapturedLine)
        g_onCapturedLine(line);
    std::lock_guard<std::mutex> lock(g_captureMutex);
    g_capturedLines.push_back(line);
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

CTraceCapture::CTraceCapture(std::function<void(const std::string &)> onLine)
{
    {
        std::lock_guard<std::mutex> lock(g_captureMutex);
        g_capturedLines.clear();
    }
    g_onCapturedLine = std::move(onLine);
    m_handler = AddVectoredExceptionHandler(1, CaptureHandler);
}

CTraceCapture::~CTraceCapture()
{
    RemoveVectoredExceptionHandler(m_handler);
    g_onCapturedLine = nullptr;
}

std::vector<std::string> CTraceCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(g_captureMutex);
    return g_capturedLines;
}
