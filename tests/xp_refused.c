/* xp_refused.c - a DLL that Windows XP SP3 cannot load, for the test of the
   check that the library loads there: it imports GetTickCount64 (Windows
   Vista and later) by name and a DLL that XP lacks, and its header (see
   CMakeLists.txt) asks for NT 6.0. It is never loaded. */
#include <windows.h>

#include <bcrypt.h>

__declspec(dllexport) ULONGLONG Probe(void)
{
    UCHAR byte = 0;
    BCryptGenRandom(NULL, &byte, 1, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return GetTickCount64() + byte;
}
