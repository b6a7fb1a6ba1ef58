// copy_dialog.cpp - copy_file_dialog.
#include "Rundle.h"

#include <windows.h>

extern "C" {
int __cdecl copy_file_dialog(char, unsigned char, const char *, unsigned long, const char *const *,
                             const unsigned char *, const char *const *, const char *)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}
}
