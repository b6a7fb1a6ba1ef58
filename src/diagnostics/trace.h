// trace.h - the library's running trace on the debugger output channel.
//
// Every line ends with " (At Line: %d)" and the line number of its call
// site, then a line break. Call sites use SB_TRACE, which passes its own
// __LINE__, so two threads tracing at once cannot exchange line numbers.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

// Line number used by LogTrace; -1 suppresses the suffix. One per thread.
extern thread_local int g_nLogLine;

// Formats and writes one line. args may be null: fmt is then the message.
void LogWrite(const char *fmt, va_list *args, int line);

// printf-style; the line number is the current g_nLogLine.
void LogTrace(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// printf-style with an explicit line number.
void LogTraceAtLine(int line, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

#define SB_TRACE(...) LogTraceAtLine(__LINE__, __VA_ARGS__)

// "%s Error Code: 0x%08X" from the system's message for code; "" for 0.
std::string GetErrorText(DWORD code);
