// dravel.cpp - Dravel_Cleanup.
#include "Dravel.h"

extern "C" {
void __cdecl Dravel_Cleanup(void) {}
}
