/*
 * Kestor.h - the calls Sefrabox.dll makes into Kestor.dll, the suite's
 * mount-driver helper, imported by ordinal only. C linkage, __cdecl.
 * Results are Windows error codes, 0 for success. Each comment says what
 * the library's callers rely on; whatever takes Kestor.dll's place answers
 * so.
 */
#ifndef KESTOR_H
#define KESTOR_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* 7: drive is the letter of a mounted container, or 255 for the sefra
   store, with its mount handle; the mount is released. The result is not
   used. */
DWORD __cdecl UnMount_Volume(DWORD drive, DWORD mountHandle);
/* 10: 0 with the store volume's device name in the 768-byte buffer. */
DWORD __cdecl MakeMountInfoByFileName(DWORD mountHandle, char *deviceName768);
/* 11: create 1: 0 when linkName ("\DosDevices\X:") now leads to target,
   else an error code. create 0 (target empty): removes the link; the
   result is not used. */
DWORD __cdecl Our_IoCreateSymbolicLink(const char *linkName, const char *target, DWORD create);

#ifdef __cplusplus
}
#endif

#endif
