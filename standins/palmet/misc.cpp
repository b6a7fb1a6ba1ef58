// misc.cpp - reset code and module-relative paths.
#include "Palmet.h"

extern "C" {
DWORD __cdecl GetResetCode(char *, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD __cdecl GetModuleFilePath(char *, const char *, HINSTANCE) { return ERROR_CALL_NOT_IMPLEMENTED; }
}
