// parse_cmdline.h - ParseCmdLine: the Send To command line cut into the
// sefra number and the file list, with the caller's pointers checked and
// the outcome traced. The text rules are in sendto_text.h.
#pragma once

#include <windows.h>

// lpSefraName: 20 bytes; lpSrcPath: *pdwLen bytes. 0, 8, 87 or 111 (then
// *pdwLen holds the buffer size to ask for); see ParseSendToLine.
DWORD ParseCmdLine(const char *lpCmdLine, char *lpSefraName, char *lpSrcPath, DWORD *pdwLen);
