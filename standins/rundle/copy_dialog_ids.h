/* copy_dialog_ids.h - resource and control ids of the copy dialog (shared by
   Rundle.rc, the dialog code and the tests that drive the dialog). */
#ifndef RUNDLE_COPY_DIALOG_IDS_H
#define RUNDLE_COPY_DIALOG_IDS_H

#define IDD_COPY_FILES 100

#define IDC_DEST_LABEL 1001   /* "X:  name  [writable]" */
#define IDC_TARGETS 1002      /* list box: the target drives */
#define IDC_TARGET_FILES 1003 /* list box: root folder of the chosen target */
#define IDC_DEST_FILES 1004   /* list box: root folder of the destination */
#define IDC_COPY_IN 1005      /* selected target files -> destination root */
#define IDC_COPY_OUT 1006     /* selected destination files -> target root */
#define IDC_STATUS 1007       /* outcome of the last copy */
#define IDC_TARGET_LABEL 1008 /* chosen target's root folder */

#endif
