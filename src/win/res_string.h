// res_string.h - string-table texts of Sefrabox.dll's own resources.
#pragma once

#include <windows.h>

#include <string>

// The text of string id in the library's module; empty when missing.
std::string LoadResString(UINT id);

// A message box with the text of string id and the module title as caption.
int MessageBoxById(HWND owner, UINT id, UINT type);
