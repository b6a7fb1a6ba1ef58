// xpflag_probe.cpp - loads Sefrabox.dll and prints the g_bXpFamily value the
// DLL decided on, beside what GetVersionExA tells this process:
//   "flag <0|1> version <major>.<minor> platform <id>"
// The flag is read from the DLL's own data through the symbol table of its
// file, since the DLL exports nothing for it.
#include "pe_image.h"

#include <windows.h>

#include <cstdio>

int main()
{
    HMODULE sefrabox = LoadLibraryA("Sefrabox.dll");
    if (!sefrabox)
        return 2;
    const void *flag = FindImageSymbol(sefrabox, "_g_bXpFamily");
    if (!flag)
        return 3;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return 4;
    std::printf("flag %d version %lu.%lu platform %lu\n", *static_cast<const int *>(flag), version.dwMajorVersion,
                version.dwMinorVersion, version.dwPlatformId);
    return 0;
}
