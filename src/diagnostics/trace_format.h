// trace_format.h - the text of one trace line, built without any system call
// so that the rules can be exercised on any platform.
//
// A trace line is the formatted message, then " (At Line: %d)" unless the line
// number is -1, then the line break that the format itself ends with.
#pragma once

#include <cstdarg>
#include <string>

// Line number that means "no line number": no suffix.
constexpr int kTraceNoLine = -1;

// printf-style formatting into a buffer that grows to fit. An encoding error
// of the format gives the empty text.
std::string FormatTraceMessage(const char *fmt, va_list args);

// Completes the finished message into the line handed to the debugger:
// - line != kTraceNoLine: trailing CR and LF are cut from the message and the
//   suffix is appended;
// - fmt empty: no line break; fmt ending in CR or LF: that run of CR and LF,
//   unchanged; otherwise one LF.
// fmt must be a valid text; the line break is decided on it, not on message.
std::string ComposeTraceLine(std::string message, const char *fmt, int line);
