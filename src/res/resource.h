/* resource.h - resource ids of Sefrabox.dll (shared by the .rc and the C++ code). */
#pragma once

/* Dialog templates. */
#define IDD_SET_PASSWORD 1000
#define IDD_CHECK_PASSWORD 1155
#define IDD_CHECKING 1170
#define IDD_OPENING 1171
#define IDD_SEFRABOX 2000
#define IDD_RESTART 2200

/* Controls of the password dialogs. */
#define IDC_CHKPWD_EDIT 1069
#define IDC_CHKPWD_PROMPT 1070
#define IDC_SETPWD_NEW 1100
#define IDC_SETPWD_CONFIRM 1101
#define IDC_SETPWD_OLD 1102
#define IDC_SETPWD_TITLE 1103

/* Controls of the main dialog: platform button b, edit b + 3, arrow b + 6,
   set-password button b + 9. */
#define IDC_PLATFORM1 2100
#define IDC_PLATFORM2 2101
#define IDC_PLATFORM3 2102
#define IDC_PWD1 2103
#define IDC_PWD2 2104
#define IDC_PWD3 2105
#define IDC_ENTER1 2106
#define IDC_ENTER2 2107
#define IDC_ENTER3 2108
#define IDC_SETPWD1 2109
#define IDC_SETPWD2 2110
#define IDC_SETPWD3 2111

/* Controls of the restart dialog. */
#define IDC_RESTART 2201
#define IDC_TURNOFF 2202

/* Icons. */
#define IDI_LOCK 1104
#define IDI_OPENING 1105

/* Bitmaps. */
#define IDB_BACKGROUND 1123
#define IDB_CLOSE_PRESSED 1124
#define IDB_CLOSE_NORMAL 1125
#define IDB_CLOSE_HOVER 1126
#define IDB_CLOSE_DISABLED 1127
#define IDB_RESTART_BACK 2209

/* Strings. */
#define IDS_BUSY_MARKER_HELD 3345
#define IDS_WRONG_PASSWORD 3347
#define IDS_WRONG_OLD_PASSWORD 3348
#define IDS_NEW_PASSWORDS_DIFFER 3349
#define IDS_PASSWORD_ADDED 3350
#define IDS_PASSWORD_CHANGED 3351
#define IDS_OPEN_FAILED_FMT 3352
#define IDS_COPY_TITLE 3353
#define IDS_DRIVE_C_SUFFIX 3354
#define IDS_SENDING_FMT 3356
#define IDS_SENT_FMT 3357
#define IDS_OPEN_SEFRA_FAILED 3358
#define IDS_PASSWORD_PROMPT_FMT 3359
#define IDS_VOLUME_IN_USE 3362
#define IDS_SECOND_SPACE 3371
#define IDS_MAIN_SYSTEM 3372
#define IDS_MODULE_TITLE 57344
