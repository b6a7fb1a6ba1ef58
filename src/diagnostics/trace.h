// trace.h - the library's running trace on the debugger output channel and
// the error text of a Windows error code.
//
// Every line ends with " (At Line: %d)" and the line number of its call
// site, then a line break (see trace_format.h for the exact rules). Call
// sites use SB_TRACE, which passes its own __LINE__, so two threads tracing
// at once cannot exchange line numbers. The trace is always on, never fails
// towards its caller and has no file of its own: each line is one
// OutputDebugStringA call.
//
// Formats follow the C runtime of this build (MinGW's C99 printf): a DWORD
// goes to %u or %X through a cast, or to %lu / %lX.
//
// Trace texts are matched as written by whoever reads the trace, slips
// included ("OnShellChangNotify(...)", the "CSefraboxDlg::OpenSefra() gained
// g_MountVolumeLock" line inside OnDestroy): a text is never corrected.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

// Line number used by LogTrace; -1 suppresses the suffix. One per thread, so
// a call site that sets it right before LogTrace keeps its own value.
extern thread_local int g_nLogLine;

// Formats and writes one line. args may be null: fmt is then the message.
// A null or unreadable fmt writes nothing.
void LogWrite(const char *fmt, va_list *args, int line);

// printf-style; the line number is the current g_nLogLine.
void LogTrace(const char *fmt, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

// printf-style with an explicit line number.
void LogTraceAtLine(int line, const char *fmt, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3)));

#define SB_TRACE(...) LogTraceAtLine(__LINE__, __VA_ARGS__)

// The one way to say that a call failed: "<call> failed! <error text>" at the
// given line. call is a printf-style format of the call's text and its
// arguments ("DeleteFile(%s)", path); the arguments' texts are not formats.
// Code 0 leaves the words and the blank after "!".
void LogFailedCall(int line, DWORD code, const char *call, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 3, 4)));

// A call that returned a Windows error code.
#define SB_TRACE_FAILED(code, ...) LogFailedCall(__LINE__, (code), __VA_ARGS__)
// A call that left its error in the thread's last error, which is read before
// anything else runs: evaluating the call text's arguments may change it.
#define SB_TRACE_LAST_ERROR(...)                                                                                       \
    do {                                                                                                               \
        const DWORD sbLastError = GetLastError();                                                                      \
        LogFailedCall(__LINE__, sbLastError, __VA_ARGS__);                                                             \
    } while (false)

// "%s Error Code: 0x%08X" from the system's message for code (trailing line
// feeds cut, a carriage return kept); "" for 0, without asking the system.
// When the system has no message the text still carries the code.
std::string GetErrorText(DWORD code);
