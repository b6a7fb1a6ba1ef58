// mapping.cpp - the busy marker's guard and mapping text.
#include "Palmet.h"

extern "C" {
BOOL __cdecl AcquireMappingGuard(void) { return FALSE; }
void __cdecl ReleaseMappingGuard(void) {}
void __cdecl WriteMappingText(HANDLE, const char *) {}
BOOL __cdecl ReadMappingText(HANDLE, char *) { return FALSE; }
}
