// store_mount.cpp - mounting containers and choosing drive letters.
#include "Palmet.h"

extern "C" {
DWORD __cdecl MountStoreVolume(const char *, DWORD *, char *) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD __cdecl Dravel_MountDriverByFileName(const char *, char *, DWORD *, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
BOOL __cdecl AllocDriveLetter(char *) { return FALSE; }
}
