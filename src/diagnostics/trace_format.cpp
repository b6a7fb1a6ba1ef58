// trace_format.cpp - message formatting and the suffix and line-break rules
// of a trace line.
#include "diagnostics/trace_format.h"

#include <cstdio>
#include <cstring>

namespace {

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

} // namespace

std::string FormatTraceMessage(const char *fmt, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int needed = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    if (needed <= 0)
        return std::string();
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    const int written = std::vsnprintf(&text[0], text.size(), fmt, args);
    if (written < 0)
        return std::string();
    text.resize(static_cast<size_t>(written) < text.size() ? static_cast<size_t>(written) : text.size() - 1);
    return text;
}

std::string ComposeTraceLine(std::string message, const char *fmt, int line)
{
    if (line != kTraceNoLine) {
        while (!message.empty() && IsLineBreak(message.back()))
            message.pop_back();
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, " (At Line: %d)", line);
        message += suffix;
    }
    const size_t fmtLen = std::strlen(fmt);
    if (fmtLen == 0)
        return message;
    size_t runStart = fmtLen;
    while (runStart > 0 && IsLineBreak(fmt[runStart - 1]))
        --runStart;
    if (runStart == fmtLen)
        message += '\n';
    else
        message.append(fmt + runStart, fmtLen - runStart);
    return message;
}
