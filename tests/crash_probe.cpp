// crash_probe.cpp - a program that loads Sefrabox.dll and then faults.
//
// crash_probe [folder]: after the library is loaded (and its crash handler
// has fixed the dump path), changes into folder when given, then writes
// to a page without access. The library's filter decides how it ends.
#include <windows.h>

#include <cstdio>

int main(int argc, char **argv)
{
    HMODULE library = LoadLibraryA("Sefrabox.dll");
    if (!library) {
        std::fprintf(stderr, "crash_probe: cannot load Sefrabox.dll (error %lu)\n", GetLastError());
        return 100;
    }
    if (argc > 1 && !SetCurrentDirectoryA(argv[1])) {
        std::fprintf(stderr, "crash_probe: cannot change into %s (error %lu)\n", argv[1], GetLastError());
        return 101;
    }
    // A page without access rather than a null pointer: the lowest pages are
    // not reliably unmapped under every emulation of the platform.
    int *volatile nowhere = static_cast<int *>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS));
    *nowhere = 1;
    return 0;
}
