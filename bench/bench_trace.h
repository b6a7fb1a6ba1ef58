// bench_trace.h - the library's trace lines as a debugger output monitor
// sees them, each with the moment it was taken, so that a figure can split
// a child process's request into its steps.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>
#include <vector>

struct TraceLine {
    double ms; // NowMs() when the line was taken
    DWORD pid;
    std::string text;
};

// Receives OutputDebugStringA lines of every process through the system's
// monitor protocol ("DBWIN_BUFFER" and its two events). The owner takes
// the lines in its own wait loop (Wait), so that their times and the
// loop's other observations come from one thread. A writer waits for its
// previous line to be taken; one monitor on the machine at a time.
class CTraceMonitor {
public:
    CTraceMonitor();
    CTraceMonitor(const CTraceMonitor &) = delete;
    CTraceMonitor &operator=(const CTraceMonitor &) = delete;

    // False when the monitor could not be set up or another one runs.
    bool Ready() const { return m_ready; }
    // Waits at most ms for a line, taking it, or for other (may be null) to
    // be signalled: WAIT_OBJECT_0 for other, else WAIT_TIMEOUT.
    DWORD Wait(HANDLE other, DWORD ms);
    const std::vector<TraceLine> &Lines() const { return m_lines; }
    // When the first (or last) line of pid that begins with prefix was
    // taken; -1 when there is none.
    double FirstLine(DWORD pid, const std::string &prefix) const;
    double LastLine(DWORD pid, const std::string &prefix) const;

private:
    CKernelHandle m_bufferReady, m_dataReady, m_mapping;
    CMappedView m_view;
    bool m_ready = false;
    std::vector<TraceLine> m_lines;
};
