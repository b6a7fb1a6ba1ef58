// exports.cpp - entries of the export table whose subsystems are not built
// yet. Each answers ERROR_CALL_NOT_IMPLEMENTED until its own file replaces it.
#include "Sefrabox.h"

#include <windows.h>

extern "C" {

int __cdecl MySendTo(void) { return ERROR_CALL_NOT_IMPLEMENTED; }

} // extern "C"
