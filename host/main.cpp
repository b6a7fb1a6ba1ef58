// main.cpp - plays the suite's control program: loads Sefrabox.dll and
// reports what it finds.
#include <windows.h>

#include <cstdio>

int main()
{
    HMODULE lib = LoadLibraryA("Sefrabox.dll");
    if (!lib) {
        std::printf("cannot load Sefrabox.dll: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("Sefrabox.dll loaded at %p\n", static_cast<void *>(lib));
    FreeLibrary(lib);
    return 0;
}
