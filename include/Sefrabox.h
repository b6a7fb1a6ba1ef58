/*
 * Sefrabox.h - public interface of Sefrabox.dll for the suite's control
 * programs.
 *
 * Every function uses C linkage and the __cdecl convention and returns a
 * 32-bit int. Only MySendTo is exported by name; link the others through
 * the import library (which imports by ordinal) or GetProcAddress with
 * MAKEINTRESOURCEA(ordinal).
 *
 * Texts are byte strings in the ANSI code page.
 */
#ifndef SEFRABOX_PUBLIC_H
#define SEFRABOX_PUBLIC_H

#ifdef __cplusplus
extern "C" {
#endif

/* Ordinals of the exports. */
#define SEFRABOX_ORD_SHOWDLG 10
#define SEFRABOX_ORD_SHOWDLGNOINIT 11
#define SEFRABOX_ORD_GETDRIVETARGETS 21
#define SEFRABOX_ORD_MYSENDTO 22
#define SEFRABOX_ORD_SETSHAREDTEXT 23
#define SEFRABOX_ORD_GETSHAREDTEXT 24
#define SEFRABOX_ORD_SHOWDLGWITHPARENT 25
#define SEFRABOX_ORD_DELETESEFRA 33

/* The main dialog object of the library. Callers treat it as a window
   object of their framework: its window handle sits at offset
   SEFRABOX_WND_HANDLE_OFFSET while the dialog runs (null before the window
   exists and after it is gone); nothing else in it is for callers. */
struct CSefraboxDlg;
/* The caller's window object (see SEFRABOX_WND_OBJECT). */
struct CWnd;

/* A window object as the suite's framework lays it out (32-bit): the vtable
   pointer, six words of command-target state, then the window handle at
   0x1C; the framework's own object is 0x3C bytes. SB_ShowDlgWithParent
   reads only hWnd, but first checks that the object is readable over the
   size of the library's dialog object, which is at most
   SEFRABOX_WND_OBJECT_SIZE bytes. A caller without that framework fills one
   of these (zero but hWnd) and passes its address as struct CWnd *. */
#define SEFRABOX_WND_HANDLE_OFFSET 0x1C
#define SEFRABOX_WND_OBJECT_SIZE 4096
typedef struct SEFRABOX_WND_OBJECT {
    void *pVtable;          /* 0x00 */
    unsigned long dwRef;    /* 0x04 */
    void *pOuterUnknown;    /* 0x08 */
    void *xInnerUnknown;    /* 0x0C */
    void *xDispatch;        /* 0x10 */
    int bResultExpected;    /* 0x14 */
    void *xConnPtContainer; /* 0x18 */
    void *hWnd;             /* 0x1C: the caller's window */
    unsigned char reserved[SEFRABOX_WND_OBJECT_SIZE - 0x20];
} SEFRABOX_WND_OBJECT;

#pragma pack(push, 1)
/* Drive targets handed to the copy dialog: 261 bytes, packed. */
typedef struct FILE_OPERATION {
    unsigned long reserved;              /* 0: zero */
    unsigned char chDestDrive;           /* 4: destination drive letter */
    unsigned char uchDestWritable;       /* 5: 1 */
    const char *lpDestName;              /* 6: destination display name */
    unsigned long dwTargetCount;         /* 10: valid targets, 0..27 */
    const char *lpTargetPath[27];        /* 14: "%C:" texts */
    unsigned char uchTargetWritable[27]; /* 122: 1 writable, 0 read-only */
    const char *lpTargetName[27];        /* 149: display texts */
    const char *lpTitle;                 /* 257: copy dialog title */
} FILE_OPERATION;
#pragma pack(pop)

/* Shows the sefra dialog. 2 when busy or when preparation fails,
   otherwise the dialog's modal result. Every pointer may be null. *pWnd
   holds the dialog object while the dialog runs, null afterwards: another
   thread of the caller may read the window handle at
   SEFRABOX_WND_HANDLE_OFFSET of it and post to that window (WM_COMMAND with
   IDCANCEL ends the dialog with 2). The sefra of a platform that the
   platform service no longer lists is emptied when the dialog starts; while
   the service fails to list its platforms such sefras are kept, unshown
   (earlier versions emptied them). Such a sefra keeps its folder when the
   record of an installed platform names the same folder, and keeps its
   password when its folder could not be removed entirely (earlier versions
   removed the folder and cleared the password first). A profile record
   whose Target is not a plain folder name of the store's root (see
   DeleteSefra) gets no row. A sefra whose password cannot be read from the
   profile neither opens nor has its password set: the user is told that it
   could not be opened (earlier versions took the password as empty).
   Closing a sefra removes the drive label the library wrote and leaves the
   letter's other Explorer settings, such as its icon (earlier versions
   deleted all of them). */
int __cdecl SB_ShowDlg(const char *lpSefraName, int *pnResult, int *pbClosedByHotKey, struct CSefraboxDlg **pWnd);

/* As SB_ShowDlg on the default store, owned by the caller's window
   (required). pParentWnd is the caller's window object (SEFRABOX_WND_OBJECT);
   the window handle is read at offset SEFRABOX_WND_HANDLE_OFFSET (earlier
   versions read it at offset 0). A null pointer, an object not readable over
   the size of the library's dialog object, or a handle that is not a window
   gives 2 before anything else is touched. */
int __cdecl SB_ShowDlgWithParent(struct CWnd *pParentWnd, int *pnResult);

/* Shows the dialog without preparing the store. 2 when lpText is
   unreadable, otherwise the dialog's modal result. */
int __cdecl SB_ShowDlgNoInit(const char *lpText);

/* Lists the drives a platform may see. Windows error code, 0 on success. */
int __cdecl GetDriveTargets(const char *lpPlatformFile, FILE_OPERATION *lpFileOperation, char *lpPathBuf,
                            unsigned int cbPathBuf, char *lpNameBuf, unsigned int cbNameBuf, unsigned char bDiskShift,
                            unsigned long dwDriverArg, unsigned char bSkipC);

/* Send To entry: reads the process command line. Windows error code. A
   sefra whose Target is not a plain folder name (see DeleteSefra) receives
   nothing; a copy the shell reports aborted (the user cancelled it or
   declined part of it) is not reported as sent (earlier versions showed
   the success message). */
int __cdecl MySendTo(void);

/* Text slot shared by every process: 1 stored/copied, 0 refused.
   The slot holds at most 127 bytes and its terminator; lpBuffer must
   have room for 128 bytes. */
int __cdecl SetSharedText(const char *lpText);
int __cdecl GetSharedText(char *lpBuffer);

/* Empties a platform's sefra and clears its password. Windows error code.
   Links inside the sefra (junctions, symbolic links), and a sefra folder
   that is itself one, are removed themselves: what they lead to is never
   deleted (earlier versions followed them).
   A record whose Target is not a plain folder name of the store's root is
   passed over as if it named no sefra: a Target that ends in a dot or a
   blank (so also one of dots and blanks only), holds a separator, a colon,
   a wildcard or a control character, is a device name (CON, NUL, COM1 ...,
   also with an extension), may be a short-name alias, or names the profile
   file (earlier versions took "...", " " or "Name." for the store's root or
   another folder).
   The password is cleared only once the folder is gone: a removal that
   stops (a read-only file, a file in use) leaves it set, and the result is
   the removal's error as before (earlier versions cleared it first). A
   folder that a record of another platform also names is kept with the
   password, and the result is 5 (ERROR_ACCESS_DENIED). */
int __cdecl DeleteSefra(const char *lpSefraName, unsigned long dwPlatformId);

#ifdef __cplusplus
}
#endif

#endif
