// platform.cpp - the platform service: channel and platform lists.
#include "Palmet.h"

extern "C" {
int __cdecl GetPlatformServiceState(void) { return 0; }
DWORD __cdecl QueryPlatformChannel(void) { return 0; }
HANDLE __cdecl OpenPlatformChannel(DWORD) { return INVALID_HANDLE_VALUE; }
DWORD __cdecl PreparePlatformChannel(HANDLE) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD __cdecl InitVPFInfo(PALMET_TEXT_LIST *, int, int, PALMET_TEXT_LIST *, PALMET_DWORD_LIST *, PALMET_DWORD_LIST *,
                          int)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}
DWORD __cdecl SendPlatformRequest(HANDLE, DWORD, DWORD, DWORD, DWORD, const char *) { return ERROR_CALL_NOT_IMPLEMENTED; }
}
