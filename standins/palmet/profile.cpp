// profile.cpp - profile records read and written by schema.
#include "Palmet.h"

extern "C" {
DWORD __cdecl GetProfileParameter(DWORD, const char *, const char *, ...) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD __cdecl SetProfileParameter(DWORD, const char *, const char *, ...) { return ERROR_CALL_NOT_IMPLEMENTED; }
}
