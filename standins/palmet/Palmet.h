/*
 * Palmet.h - the suite's base-function library (stand-in), imported by
 * ordinal. C linkage, __cdecl. Results are Windows error codes, 0 for
 * success, unless a function says otherwise.
 */
#ifndef PALMET_H
#define PALMET_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Caller-owned lists that InitVPFInfo fills in parallel. */
#define PALMET_MAX_PLATFORMS 16
typedef struct PALMET_TEXT_LIST {
    DWORD count;
    char text[PALMET_MAX_PLATFORMS][MAX_PATH];
} PALMET_TEXT_LIST;
typedef struct PALMET_DWORD_LIST {
    DWORD count;
    DWORD value[PALMET_MAX_PLATFORMS];
} PALMET_DWORD_LIST;

/* Platform service. */
int __cdecl GetPlatformServiceState(void);            /* 11: 0 = no service */
DWORD __cdecl QueryPlatformChannel(void);             /* 29 */
HANDLE __cdecl OpenPlatformChannel(DWORD query);      /* 72: INVALID_HANDLE_VALUE on failure; close with CloseHandle */
DWORD __cdecl PreparePlatformChannel(HANDLE channel); /* 78 */
DWORD __cdecl InitVPFInfo(PALMET_TEXT_LIST *files, int a1, int a2, PALMET_TEXT_LIST *names, PALMET_DWORD_LIST *kinds,
                          PALMET_DWORD_LIST *numbers, int a3);                                                 /* 103 */
DWORD __cdecl SendPlatformRequest(HANDLE channel, DWORD code, DWORD a1, DWORD a2, DWORD a3, const char *text); /* 52 */

/* Profile records: schema "int,id;str,20,Target;..." then one pointer per field. */
DWORD __cdecl GetProfileParameter(DWORD record, const char *path, const char *schema, ...); /* 89 */
DWORD __cdecl SetProfileParameter(DWORD record, const char *path, const char *schema, ...); /* 90 */

/* Store and disks. */
DWORD __cdecl MountStoreVolume(const char *storeFile, DWORD *mountHandle, char *volumePath768); /* 94 */
DWORD __cdecl Dravel_MountDriverByFileName(const char *file, char *driveText10, DWORD *mountHandle,
                                           DWORD zero);                                                     /* 92 */
BOOL __cdecl AllocDriveLetter(char *driveText10);                                                           /* 91 */
DWORD __cdecl GetDriverInfo(BYTE *driverInfo100, DWORD arg, DWORD one);                                     /* 30 */
DWORD __cdecl GetTargetConfig(const char *platformFile, BYTE *targetConfig100);                             /* 37 */
DWORD __cdecl RunChkdsk(const char *driveText, DWORD *mode, const char *switches, DWORD zero, DWORD debug); /* 84 */

/* Busy-marker helpers. */
BOOL __cdecl AcquireMappingGuard(void);                          /* 95 */
void __cdecl ReleaseMappingGuard(void);                          /* 96 */
void __cdecl WriteMappingText(HANDLE mapping, const char *text); /* 111 */
BOOL __cdecl ReadMappingText(HANDLE mapping, char *buffer270);   /* 112 */

/* Others. */
DWORD __cdecl GetResetCode(char *buffer, DWORD size);                                   /* 100 */
DWORD __cdecl GetModuleFilePath(char *outPath, const char *fileName, HINSTANCE module); /* 44: outPath MAX_PATH bytes */

#ifdef __cplusplus
}
#endif

#endif
