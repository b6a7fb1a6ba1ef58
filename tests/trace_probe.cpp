// trace_probe.cpp - writes trace lines through the library's trace code for
// trace_test, which reads them from the debugger output channel.
//
// trace_probe lines | errors | failures | threads
#include "diagnostics/trace.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

void Lines()
{
    LogTraceAtLine(1234, "CSefraboxDlg::OnDestroy()");
    LogTraceAtLine(77, "abc\r\n");
    LogTraceAtLine(78, "abc");
    const char *empty = ""; // through a variable: the compiler flags a literal ""
    LogTraceAtLine(79, empty);
    LogTraceAtLine(-1, "no number");
    LogTraceAtLine(0, "line zero");
    LogTraceAtLine(80, "%s", "from an argument\r\n\n");
    LogTraceAtLine(81, "value %d, text %s\n", 42, "x");
    g_nLogLine = 4321;
    LogTrace("through g_nLogLine");
    LogWrite("100% finished, no arguments", nullptr, 82);
    // A null format and one on a freed page: refused without output.
    LogWrite(nullptr, nullptr, 83);
    void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    std::memcpy(page, "gone %d", 8);
    VirtualFree(page, 0, MEM_RELEASE);
    LogWrite(static_cast<const char *>(page), nullptr, 84);
    // Longer than any fixed line buffer (the monitor's buffer takes 4091).
    std::string longText(3000, 'L');
    LogTraceAtLine(85, "%s", longText.c_str());
    LogTraceAtLine(86, "last");
}

void Errors()
{
    LogTraceAtLine(89, "CreateFile() failed! %s", GetErrorText(0).c_str());
    LogTraceAtLine(90, "CreateFile() failed! %s", GetErrorText(ERROR_FILE_NOT_FOUND).c_str());
    LogTraceAtLine(91, "%s", GetErrorText(0xE0001234).c_str());
}

// Changes the thread's last error, as evaluating a call text's argument may.
const char *Touched(const char *text)
{
    SetLastError(ERROR_SUCCESS);
    return text;
}

// Failed calls at known lines; an argument's % is text, not a format.
void Failures()
{
#line 300
    SB_TRACE_FAILED(0xE0001234, "Our_IoCreateSymbolicLink(%s, %s)", "\\DosDevices\\X:", "C:\\100%d");
    SetLastError(0xE0001235);
    SB_TRACE_LAST_ERROR("DeleteFile(%s)", Touched("C:\\gone"));
}

// Each thread sets its own g_nLogLine, then waits until the other has set
// its value too, then traces: with one shared value both would carry the
// value written last.
struct ThreadStep {
    int line;
    HANDLE mySet;
    HANDLE otherSet;
    const char *name;
};

DWORD WINAPI TraceFromThread(LPVOID param)
{
    const auto step = static_cast<const ThreadStep *>(param);
    g_nLogLine = step->line;
    SetEvent(step->mySet);
    WaitForSingleObject(step->otherSet, INFINITE);
    LogTrace("thread %s", step->name);
    return 0;
}

void Threads()
{
    HANDLE aSet = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE bSet = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ThreadStep a{100, aSet, bSet, "A"};
    ThreadStep b{200, bSet, aSet, "B"};
    HANDLE threads[2] = {CreateThread(nullptr, 0, TraceFromThread, &a, 0, nullptr),
                         CreateThread(nullptr, 0, TraceFromThread, &b, 0, nullptr)};
    WaitForMultipleObjects(2, threads, TRUE, INFINITE);
    for (HANDLE h : {threads[0], threads[1], aSet, bSet})
        CloseHandle(h);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    if (std::strcmp(argv[1], "lines") == 0)
        Lines();
    else if (std::strcmp(argv[1], "errors") == 0)
        Errors();
    else if (std::strcmp(argv[1], "failures") == 0)
        Failures();
    else if (std::strcmp(argv[1], "threads") == 0)
        Threads();
    else
        return 2;
    return 0;
}
