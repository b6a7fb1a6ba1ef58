/*
 * Dravel.h - the call Sefrabox.dll makes into Dravel.dll, the suite's
 * virtual-disk library, imported by ordinal only. C linkage, __cdecl.
 */
#ifndef DRAVEL_H
#define DRAVEL_H

#ifdef __cplusplus
extern "C" {
#endif

/* 17: after the store mount is released, and when Initialize fails. */
void __cdecl Dravel_Cleanup(void);

#ifdef __cplusplus
}
#endif

#endif
