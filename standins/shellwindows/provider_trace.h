// provider_trace.h - the provider's lines on the debugger output channel, as
// the platform's own COM servers trace theirs, so that what a program asked
// of the provider and what it could not have can be read from the trace
// alone: "shellwindows: " and the text, one OutputDebugStringA call a line.
//
// Style: "<Object>(<id>)::<Member>(<main arguments>)" on entry to each member
// (AddRef and Release aside), ": not implemented" after a member the provider
// does not do, ": no such interface" after an interface id it does not have.
// Objects: ShellWindows, Browser, ConnectionPoint, WindowEnum by address,
// ClassFactory; the window tracker writes "tracker: " and what changed (a
// window seen, a new folder view, a window closing or gone), never a tick.
// The library's trace is not used: a stand-in takes nothing of the library.
#pragma once

#include <windows.h>

#include <string>

void ProviderTrace(const char *fmt, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

// An object's or a window's number in a line: "%08lX".
inline unsigned long TraceId(const void *p) { return static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(p)); }

// The name of an interface the provider or its callers deal in, otherwise
// the id as "{...}".
std::string IidText(REFIID iid);

// Text of the system's ANSI code page for a line.
std::string TraceText(const std::wstring &text);
