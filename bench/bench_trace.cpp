// bench_trace.cpp - the receiving side of the OutputDebugStringA monitor
// protocol: wait for "DBWIN_DATA_READY", read the writer's process id and
// text from "DBWIN_BUFFER", hand the buffer back with "DBWIN_BUFFER_READY".
#include "bench_trace.h"

#include "bench_util.h"

#include <cstring>

namespace {

constexpr DWORD kBufferSize = 4096; // process id, then the text

template <typename It> double Find(It begin, It end, DWORD pid, const std::string &prefix)
{
    for (It line = begin; line != end; ++line)
        if (line->pid == pid && line->text.compare(0, prefix.size(), prefix) == 0)
            return line->ms;
    return -1;
}

} // namespace

CTraceMonitor::CTraceMonitor() : m_bufferReady(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY"))
{
    if (!m_bufferReady || GetLastError() == ERROR_ALREADY_EXISTS)
        return;
    m_dataReady.Reset(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY"));
    m_mapping.Reset(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER"));
    if (m_mapping)
        m_view.Reset(MapViewOfFile(m_mapping.Get(), FILE_MAP_READ, 0, 0, kBufferSize));
    m_ready = m_dataReady && m_view;
    if (m_ready)
        SetEvent(m_bufferReady.Get());
}

DWORD CTraceMonitor::Wait(HANDLE other, DWORD ms)
{
    if (!m_ready)
        return other ? WaitForSingleObject(other, ms) : (Sleep(ms), WAIT_TIMEOUT);
    const HANDLE waits[2] = {m_dataReady.Get(), other};
    const DWORD woke = WaitForMultipleObjects(other ? 2 : 1, waits, FALSE, ms);
    if (woke == WAIT_OBJECT_0 + 1)
        return WAIT_OBJECT_0;
    if (woke == WAIT_OBJECT_0) {
        const auto buffer = static_cast<const char *>(m_view.Get());
        TraceLine line{NowMs(), 0, std::string()};
        std::memcpy(&line.pid, buffer, sizeof line.pid);
        const char *text = buffer + sizeof line.pid;
        line.text.assign(text, strnlen(text, kBufferSize - sizeof line.pid));
        SetEvent(m_bufferReady.Get());
        m_lines.push_back(std::move(line));
    }
    return WAIT_TIMEOUT;
}

double CTraceMonitor::FirstLine(DWORD pid, const std::string &prefix) const
{
    return Find(m_lines.begin(), m_lines.end(), pid, prefix);
}

double CTraceMonitor::LastLine(DWORD pid, const std::string &prefix) const
{
    return Find(m_lines.rbegin(), m_lines.rend(), pid, prefix);
}
