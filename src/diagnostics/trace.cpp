// trace.cpp - LogWrite, its front ends LogTrace and LogTraceAtLine, the
// failed call's line LogFailedCall, and GetErrorText.
#include "diagnostics/trace.h"

#include "diagnostics/trace_format.h"
#include "win/handles.h"
#include "win/pointers.h"

#include <cstdint>
#include <cstdio>

thread_local int g_nLogLine = 0;

namespace {

// The format is probed up to its terminator, however long: with a null
// argument list it is a finished message of any length.
constexpr size_t kUnlimitedText = SIZE_MAX - 1;

} // namespace

void LogWrite(const char *fmt, va_list *args, int line)
{
    if (!IsReadableText(fmt, kUnlimitedText))
        return;
    std::string message = args ? FormatTraceMessage(fmt, *args) : std::string(fmt);
    const std::string text = ComposeTraceLine(std::move(message), fmt, line);
    // One call per line: lines of different threads never interleave.
    OutputDebugStringA(text.c_str());
}

void LogTrace(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    LogWrite(fmt, &ap, g_nLogLine);
    va_end(ap);
}

void LogTraceAtLine(int line, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    LogWrite(fmt, &ap, line);
    va_end(ap);
}

void LogFailedCall(int line, DWORD code, const char *call, ...)
{
    va_list ap;
    va_start(ap, call);
    const std::string text = FormatTraceMessage(call, ap);
    va_end(ap);
    LogTraceAtLine(line, "%s failed! %s", text.c_str(), GetErrorText(code).c_str());
}

std::string GetErrorText(DWORD code)
{
    if (code == 0)
        return std::string();
    char *buffer = nullptr;
    constexpr DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    static_assert(flags == 0x1300, "message flags");
    const DWORD length = FormatMessageA(flags, nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<char *>(&buffer), 0, nullptr);
    CLocalMemory owner(buffer);
    std::string message;
    if (length > 0 && buffer) {
        message.assign(buffer, length);
        // Only the line feeds go: a carriage return before them stays.
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
    }
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, " Error Code: 0x%08X", static_cast<unsigned>(code));
    return message + suffix;
}
