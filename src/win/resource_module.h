// resource_module.h - the module whose resources this layer loads (dialog
// templates, string-table texts).
#pragma once

#include <windows.h>

// Module handle of Sefrabox.dll: every resource comes from here. The library
// sets it when it attaches to a process; a program that links the library's
// code statically points it at its own module, which carries the resources.
extern HINSTANCE g_hSefraboxInstance;
