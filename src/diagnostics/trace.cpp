// trace.cpp - LogWrite and its front ends.
#include "diagnostics/trace.h"

thread_local int g_nLogLine = 0;

void LogWrite(const char *fmt, va_list *args, int line)
{
    // Completed with the trace rules.
    (void)args;
    (void)line;
    if (fmt)
        OutputDebugStringA(fmt);
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

std::string GetErrorText(DWORD code)
{
    (void)code;
    return std::string();
}
