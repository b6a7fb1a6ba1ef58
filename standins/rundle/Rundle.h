/* Rundle.h - the suite's copy dialog (stand-in). C linkage, __cdecl. */
#ifndef RUNDLE_H
#define RUNDLE_H

#ifdef __cplusplus
extern "C" {
#endif

/* The fields of FILE_OPERATION in record order. Shows a modal dialog (no
   owner) between the destination drive and the targets and returns 0 when
   the user closes it. Returns 87 without showing anything when the
   destination is not a drive letter, dwTargetCount is above 27, an array is
   null or unreadable while dwTargetCount is not zero, or a text cannot be
   read (a null lpDestName or lpTitle counts as empty). A target text is a
   drive text ("X:") or any folder path; its root folder is listed. */
int __cdecl copy_file_dialog(char chDestDrive, unsigned char uchDestWritable, const char *lpDestName,
                             unsigned long dwTargetCount, const char *const *lpTargetPath,
                             const unsigned char *uchTargetWritable, const char *const *lpTargetName,
                             const char *lpTitle); /* 4 */

#ifdef __cplusplus
}
#endif

#endif
