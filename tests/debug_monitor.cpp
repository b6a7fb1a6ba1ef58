// debug_monitor.cpp - the receiving side of the OutputDebugStringA monitor
// protocol: wait for "DBWIN_DATA_READY", read the writer's process id and
// text from "DBWIN_BUFFER", hand the buffer back with "DBWIN_BUFFER_READY".
#include "debug_monitor.h"

#include "process.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr DWORD kBufferSize = 4096; // process id, then the text

} // namespace

MonitoredRun RunUnderDebugMonitor(const std::string &commandLine)
{
    MonitoredRun run;
    CKernelHandle bufferReady(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY"));
    const bool otherMonitor = GetLastError() == ERROR_ALREADY_EXISTS;
    CKernelHandle dataReady(CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY"));
    CKernelHandle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferSize, "DBWIN_BUFFER"));
    CMappedView view(mapping ? MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, kBufferSize) : nullptr);
    if (!bufferReady || !dataReady || !view) {
        ADD_FAILURE() << "cannot set up the debug output monitor (error " << GetLastError() << ")";
        return run;
    }
    if (otherMonitor) {
        ADD_FAILURE() << "another debug output monitor is running";
        return run;
    }

    SetEvent(bufferReady.Get());
    const CKernelHandle process = StartProgram(commandLine);
    if (!process) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return run;
    }
    const DWORD pid = GetProcessId(process.Get());

    const auto buffer = static_cast<const char *>(view.Get());
    const HANDLE waits[2] = {dataReady.Get(), process.Get()};
    for (;;) {
        // The data event comes first: a last line written just before the
        // program ended is taken before its end is noticed.
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woke != WAIT_OBJECT_0)
            break;
        DWORD writer = 0;
        std::memcpy(&writer, buffer, sizeof writer);
        const char *text = buffer + sizeof writer;
        if (writer == pid)
            run.lines.emplace_back(text, strnlen(text, kBufferSize - sizeof writer));
        SetEvent(bufferReady.Get());
    }
    run.exitCode = MAXDWORD;
    GetExitCodeProcess(process.Get(), &run.exitCode);
    return run;
}
