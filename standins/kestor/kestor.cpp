// kestor.cpp - drive links and unmounting.
#include "Kestor.h"

extern "C" {
DWORD __cdecl UnMount_Volume(DWORD, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD __cdecl MakeMountInfoByFileName(DWORD, char *) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD __cdecl Our_IoCreateSymbolicLink(const char *, const char *, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
}
