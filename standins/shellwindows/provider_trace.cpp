// provider_trace.cpp - ProviderTrace and the texts of its lines.
#include "provider_trace.h"

#include <exdisp.h>
#include <ocidl.h>
#include <servprov.h>

#include <cstdarg>
#include <cstdio>

void ProviderTrace(const char *fmt, ...)
{
    char text[480] = {}; // a longer text is cut
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    char line[512] = {};
    std::snprintf(line, sizeof line, "shellwindows: %s\n", text);
    OutputDebugStringA(line);
}

std::string IidText(REFIID iid)
{
    static const struct {
        const IID *iid;
        const char *name;
    } kKnown[] = {
        {&CLSID_ShellWindows, "CLSID_ShellWindows"},
        {&IID_IClassFactory, "IClassFactory"},
        {&IID_IUnknown, "IUnknown"},
        {&IID_IDispatch, "IDispatch"},
        {&IID_IShellWindows, "IShellWindows"},
        {&IID_IWebBrowser2, "IWebBrowser2"},
        {&IID_IConnectionPointContainer, "IConnectionPointContainer"},
        {&IID_IConnectionPoint, "IConnectionPoint"},
        {&IID_IServiceProvider, "IServiceProvider"},
        {&DIID_DShellWindowsEvents, "DShellWindowsEvents"},
        {&DIID_DWebBrowserEvents2, "DWebBrowserEvents2"},
    };
    for (const auto &known : kKnown)
        if (IsEqualIID(iid, *known.iid))
            return known.name;
    wchar_t text[40] = {};
    StringFromGUID2(iid, text, 40);
    return TraceText(text);
}

std::string TraceText(const std::wstring &text)
{
    char buffer[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}
