// chkdsk.cpp - RunChkdsk: the disk check in a process of its own.
#include "Palmet.h"

extern "C" {
DWORD __cdecl RunChkdsk(const char *, DWORD *, const char *, DWORD, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
}
