// copy_dialog.cpp - copy_file_dialog (ordinal 4): the suite's copy dialog
// between a destination drive and a list of target drives.
#include "suite/Rundle.h"

#include "copy_request.h"
#include "copy_window.h"

#include <windows.h>

#include <new>

// This DLL's own module, for its dialog template.
extern "C" IMAGE_DOS_HEADER __ImageBase;

extern "C" {
int __cdecl copy_file_dialog(char chDestDrive, unsigned char uchDestWritable, const char *lpDestName,
                             unsigned long dwTargetCount, const char *const *lpTargetPath,
                             const unsigned char *uchTargetWritable, const char *const *lpTargetName,
                             const char *lpTitle)
{
    try {
        rundle::CopyRequest request{};
        const DWORD err = rundle::ReadCopyRequest(chDestDrive, uchDestWritable, lpDestName, dwTargetCount, lpTargetPath,
                                                  uchTargetWritable, lpTargetName, lpTitle, request);
        if (err != 0)
            return int(err);
        rundle::CCopyDialog dialog(request);
        return int(dialog.Run(reinterpret_cast<HINSTANCE>(&__ImageBase)));
    } catch (const std::bad_alloc &) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}
}
