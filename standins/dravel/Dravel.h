/* Dravel.h - the suite's virtual-disk library (stand-in). C linkage, __cdecl. */
#ifndef DRAVEL_H
#define DRAVEL_H

#ifdef __cplusplus
extern "C" {
#endif

void __cdecl Dravel_Cleanup(void); /* 17 */

#ifdef __cplusplus
}
#endif

#endif
