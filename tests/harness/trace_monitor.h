// trace_monitor.h - the trace lines as a debugger sees them: CTraceMonitor
// reads those of every process of the session through the system's debug
// output monitor protocol, CTraceCapture those of this process as each
// OutputDebugStringA raises them.
//
// A debugger loop (DEBUG_ONLY_THIS_PROCESS, ReadProcessMemory of the string)
// would be the direct way to another process's lines, but where 32-bit
// programs run through QEMU's user-mode emulator Wine can neither start a
// debuggee nor read another process's memory. The monitor protocol needs
// neither: the writer copies its string into shared memory itself.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How many of lines contain text.
size_t CountLinesWith(const std::vector<std::string> &lines, const std::string &text);

struct TraceLine {
    double ms; // NowMs() when the monitor took it
    DWORD pid; // the writer
    std::string text;
};

// The receiving side of the monitor protocol ("DBWIN_BUFFER" and its two
// events), for every process at once, on a thread of its own from
// construction to destruction. A writer waits for its previous line to be
// taken; one monitor on the machine at a time.
class CTraceMonitor {
public:
    CTraceMonitor();
    ~CTraceMonitor();
    CTraceMonitor(const CTraceMonitor &) = delete;
    CTraceMonitor &operator=(const CTraceMonitor &) = delete;

    // False when the monitor could not be set up or another one runs.
    bool Ready() const { return m_ready; }
    // Every line so far, in the order written.
    std::vector<TraceLine> Lines() const;
    std::vector<std::string> LinesOf(DWORD pid) const;
    // When the first (or last) line of pid that begins with prefix was
    // taken; -1 when there is none.
    double FirstLine(DWORD pid, const std::string &prefix) const;
    double LastLine(DWORD pid, const std::string &prefix) const;

    // Returns once every line written before the call has been taken: a
    // writer's last line may still wait in the buffer after its process
    // ended. False when that took longer than timeoutMs.
    bool CatchUp(DWORD timeoutMs = 60000);
    // Waits until pid wrote a line containing text (true), or its process
    // ended without one, its last lines taken (false).
    bool WaitForLine(DWORD pid, const std::string &text, HANDLE process);

private:
    void Run();

    bool m_ready = false;
    CKernelHandle m_bufferReady, m_dataReady, m_mapping, m_stop;
    CMappedView m_view;
    mutable std::mutex m_lock;
    std::condition_variable m_caughtUp;
    std::vector<TraceLine> m_lines;
    unsigned m_marksWritten = 0, m_marksTaken = 0;
    std::thread m_thread;
};

// A program run to its end under a monitor: its exit code and the lines it
// wrote, one entry per OutputDebugStringA call.
struct MonitoredRun {
    std::string problem; // empty, or why the run could not be watched
    DWORD exitCode = MAXDWORD;
    std::vector<std::string> lines;
};

MonitoredRun RunUnderDebugMonitor(const std::string &commandLine);

// Collects the lines written to the debugger output channel by this process
// from construction to destruction (the channel raises an exception that a
// vectored handler sees before the system does). onLine, when given, sees
// each line on the writing thread before the write returns.
class CTraceCapture {
public:
    explicit CTraceCapture(std::function<void(const std::string &)> onLine = nullptr);
    ~CTraceCapture();
    CTraceCapture(const CTraceCapture &) = delete;
    CTraceCapture &operator=(const CTraceCapture &) = delete;
    // True when some line contains text.
    bool Contains(const std::string &text) const { return Count(text) != 0; }
    // How many lines contain text.
    size_t Count(const std::string &text) const { return CountLinesWith(Lines(), text); }
    std::vector<std::string> Lines() const;

private:
    void *m_handler;
};
