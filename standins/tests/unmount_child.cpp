// unmount_child.cpp - a second process for the mount tests: unmounts with a
// handle it was given. Usage: standin_unmount_child <drive> <handle-hex>
// (drive: a letter, or 255). Exit code: UnMount_Volume's result, or 87
// for bad arguments.
#include "suite/Kestor.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc != 3)
        return ERROR_INVALID_PARAMETER;
    const DWORD drive = strcmp(argv[1], "255") == 0 ? 255 : static_cast<unsigned char>(argv[1][0]);
    const DWORD handle = strtoul(argv[2], nullptr, 16);
    return static_cast<int>(UnMount_Volume(drive, handle));
}
