// disk_info.cpp - the disk driver's device list and a platform's drive rules.
#include "Palmet.h"

extern "C" {
DWORD __cdecl GetDriverInfo(BYTE *, DWORD, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD __cdecl GetTargetConfig(const char *, BYTE *) { return ERROR_CALL_NOT_IMPLEMENTED; }
}
