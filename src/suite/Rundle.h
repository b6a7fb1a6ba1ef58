/*
 * Rundle.h - the call Sefrabox.dll makes into Rundle.dll, which owns the
 * suite's copy dialog, imported by ordinal only. C linkage, __cdecl.
 */
#ifndef RUNDLE_H
#define RUNDLE_H

#ifdef __cplusplus
extern "C" {
#endif

/* 4: the fields of FILE_OPERATION in record order. A modal copy dialog
   between the destination drive and the targets; returns when the user
   closes it. The result is not used. */
int __cdecl copy_file_dialog(char chDestDrive, unsigned char uchDestWritable, const char *lpDestName,
                             unsigned long dwTargetCount, const char *const *lpTargetPath,
                             const unsigned char *uchTargetWritable, const char *const *lpTargetName,
                             const char *lpTitle);

#ifdef __cplusplus
}
#endif

#endif
