// res_string.cpp - LoadResString and MessageBoxById.
#include "win/res_string.h"

#include "res/resource.h"
#include "win/resource_module.h"

std::string LoadResString(UINT id)
{
    // String-table entries are at most 4097 characters; ours are short.
    char text[1024] = {};
    const int len = LoadStringA(g_hSefraboxInstance, id, text, sizeof text);
    return std::string(text, len > 0 ? static_cast<size_t>(len) : 0);
}

int MessageBoxById(HWND owner, UINT id, UINT type)
{
    return MessageBoxA(owner, LoadResString(id).c_str(), LoadResString(IDS_MODULE_TITLE).c_str(), type);
}
