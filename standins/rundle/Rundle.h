/* Rundle.h - the suite's copy dialog (stand-in). C linkage, __cdecl. */
#ifndef RUNDLE_H
#define RUNDLE_H

#ifdef __cplusplus
extern "C" {
#endif

/* The fields of FILE_OPERATION in record order; modal, returns when closed. */
int __cdecl copy_file_dialog(char chDestDrive, unsigned char uchDestWritable, const char *lpDestName,
                             unsigned long dwTargetCount, const char *const *lpTargetPath,
                             const unsigned char *uchTargetWritable, const char *const *lpTargetName,
                             const char *lpTitle); /* 4 */

#ifdef __cplusplus
}
#endif

#endif
