// palmet_mapping_child.cpp - the second process of the mapping tests.
//
// palmet_mapping_child read <mapping> <file>   ReadMappingText into <file>; exit 0
// palmet_mapping_child write <mapping> <text>  WriteMappingText; exit 0
// palmet_mapping_child guard                   exit 1 when the guard is granted
//                                              (and release it), 0 when refused
// palmet_mapping_child hold                    take the guard and exit holding it
// Exit 2 on bad arguments or a failed system call.
#include "suite/Palmet.h"
#include "win/handles.h"

#include <windows.h>

#include <cstring>

int main(int argc, char **argv)
{
    if (argc >= 2 && strcmp(argv[1], "guard") == 0) {
        if (!AcquireMappingGuard())
            return 0;
        ReleaseMappingGuard();
        return 1;
    }
    if (argc >= 2 && strcmp(argv[1], "hold") == 0)
        return AcquireMappingGuard() ? 0 : 2;
    if (argc < 4)
        return 2;
    CKernelHandle mapping(OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, argv[2]));
    if (!mapping)
        return 2;
    if (strcmp(argv[1], "write") == 0) {
        WriteMappingText(mapping.Get(), argv[3]);
        return 0;
    }
    if (strcmp(argv[1], "read") == 0) {
        char text[270];
        if (!ReadMappingText(mapping.Get(), text))
            return 2;
        CFileHandle out(CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        return out && WriteFile(out.Get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr) ? 0 : 2;
    }
    return 2;
}
