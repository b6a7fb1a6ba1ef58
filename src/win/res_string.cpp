// res_string.cpp - the library's strings and its message boxes.
#include "win/res_string.h"

#include "res/resource.h"
#include "win/resource_module.h"

#include <cstdarg>
#include <cstdio>

std::string LoadResString(UINT id)
{
    // String-table entries are at most 4097 characters; ours are short.
    char text[1024] = {};
    const int len = LoadStringA(g_hSefraboxInstance, id, text, sizeof text);
    return std::string(text, len > 0 ? static_cast<size_t>(len) : 0);
}

std::string FormatResString(UINT id, ...)
{
    const std::string format = LoadResString(id);
    char text[1024] = {};
    va_list args;
    va_start(args, id);
    vsnprintf(text, sizeof text, format.c_str(), args);
    va_end(args);
    return text;
}

int MessageBoxById(HWND owner, UINT id, UINT type) { return MessageBoxText(owner, LoadResString(id), type); }

int MessageBoxText(HWND owner, const std::string &text, UINT type)
{
    return MessageBoxA(owner, text.c_str(), LoadResString(IDS_MODULE_TITLE).c_str(), type);
}
