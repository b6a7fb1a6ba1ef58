/*
 * Palmet.h - the calls Sefrabox.dll makes into Palmet.dll, the suite's
 * base-function library, imported by ordinal only. C linkage, __cdecl.
 * Results are Windows error codes, 0 for success, unless a call says
 * otherwise. Each comment says what the library's callers rely on; whatever
 * takes Palmet.dll's place answers so.
 */
#ifndef PALMET_H
#define PALMET_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Caller-owned lists that InitVPFInfo fills in parallel, one entry per
   platform. */
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
int __cdecl GetPlatformServiceState(void);            /* 11: only whether it is 0 (0 = no service) */
DWORD __cdecl QueryPlatformChannel(void);             /* 29: the value OpenPlatformChannel takes */
HANDLE __cdecl OpenPlatformChannel(DWORD query);      /* 72: INVALID_HANDLE_VALUE on failure; close with CloseHandle */
DWORD __cdecl PreparePlatformChannel(HANDLE channel); /* 78: 0 when the platform data is readable */
/* 103: called (files, 1, 0, names, kinds, numbers, 3); fills the four lists. */
DWORD __cdecl InitVPFInfo(PALMET_TEXT_LIST *files, int a1, int a2, PALMET_TEXT_LIST *names, PALMET_DWORD_LIST *kinds,
                          PALMET_DWORD_LIST *numbers, int a3);
/* 52: called (channel, code, 0, 0, 0, text or null); the result is not used. */
DWORD __cdecl SendPlatformRequest(HANDLE channel, DWORD code, DWORD a1, DWORD a2, DWORD a3, const char *text);

/* Profile records (numbered from 1): schema "int,id;str,20,Target;..."
   then one pointer per field. Get: 0 when read, the fields filled. Set
   ("str,Password" and the value): 0 or an error code. */
DWORD __cdecl GetProfileParameter(DWORD record, const char *path, const char *schema, ...); /* 89 */
DWORD __cdecl SetProfileParameter(DWORD record, const char *path, const char *schema, ...); /* 90 */

/* Store and disks. A mount handle goes back exactly once, through
   Kestor's UnMount_Volume. */
/* 94: 0 with a non-zero handle and the store volume's path. */
DWORD __cdecl MountStoreVolume(const char *storeFile, DWORD *mountHandle, char *volumePath768);
/* 92: 0 with the drive text ("X:") and a handle; the last argument is 0. */
DWORD __cdecl Dravel_MountDriverByFileName(const char *file, char *driveText10, DWORD *mountHandle, DWORD zero);
/* 91: the buffer comes zero-filled; non-zero with a free drive ("X:") in it. */
BOOL __cdecl AllocDriveLetter(char *driveText10);
/* 30: called (record, 7, 1); 0 with the device list in the 100-byte record. */
DWORD __cdecl GetDriverInfo(BYTE *driverInfo100, DWORD arg, DWORD one);
/* 37: 0 with the platform's drive rules in the 100-byte record. */
DWORD __cdecl GetTargetConfig(const char *platformFile, BYTE *targetConfig100);
/* 84: called (drive text, word holding 3, "/x /f", 0, DebugSefra); its
   result is passed on. */
DWORD __cdecl RunChkdsk(const char *driveText, DWORD *mode, const char *switches, DWORD zero, DWORD debug);

/* Busy-marker helpers. */
BOOL __cdecl AcquireMappingGuard(void);                          /* 95: non-zero when granted */
void __cdecl ReleaseMappingGuard(void);                          /* 96 */
void __cdecl WriteMappingText(HANDLE mapping, const char *text); /* 111: ReadMappingText reads it back */
BOOL __cdecl ReadMappingText(HANDLE mapping, char *buffer270);   /* 112: the text stored by WriteMappingText */

/* Others. */
DWORD __cdecl GetResetCode(char *buffer, DWORD size); /* 100: called (buffer, 19); an 18-character code */
/* 44: the path of fileName beside module into the MAX_PATH buffer. */
DWORD __cdecl GetModuleFilePath(char *outPath, const char *fileName, HINSTANCE module);

#ifdef __cplusplus
}
#endif

#endif
