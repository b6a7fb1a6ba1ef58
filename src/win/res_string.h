// res_string.h - string-table texts of Sefrabox.dll's own resources.
#pragma once

#include <windows.h>

#include <string>

// The text of string id in the library's module; empty when missing.
std::string LoadResString(UINT id);

// The text of string id used as a printf format for args (our own strings).
std::string FormatResString(UINT id, ...);

// A message box with the text of string id, or with text, and the module
// title as caption.
int MessageBoxById(HWND owner, UINT id, UINT type);
int MessageBoxText(HWND owner, const std::string &text, UINT type);
