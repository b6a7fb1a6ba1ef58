/* Kestor.h - the suite's mount-driver helper (stand-in). C linkage, __cdecl. */
#ifndef KESTOR_H
#define KESTOR_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* drive: letter of a mounted container, or 255 for the sefra store. */
DWORD __cdecl UnMount_Volume(DWORD drive, DWORD mountHandle);                  /* 7 */
DWORD __cdecl MakeMountInfoByFileName(DWORD mountHandle, char *deviceName768); /* 10 */
/* create 1: linkName ("\DosDevices\X:") leads to target; 0: removes it. */
DWORD __cdecl Our_IoCreateSymbolicLink(const char *linkName, const char *target, DWORD create); /* 11 */

#ifdef __cplusplus
}
#endif

#endif
