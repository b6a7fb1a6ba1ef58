// sefra_chkdsk.cpp - the stand-in disk check that Palmet's RunChkdsk starts.
//
// Usage: sefra_chkdsk <target> [/x] [/f] [/L]
//   target  a drive text ("X:" or "X:\"): the raw volume "\\.\X:" is checked;
//           anything else is taken as the path of a container file.
//   /f      fix: clear the dirty flag (byte 0x41 of the boot block).
//   /x      accepted (the volume is opened exclusively for the write anyway).
//   /L      leave "FOUND.000\FILE0000.CHK" and "FILE0000.CHK" in the root
//           (the drive root, or the container's content folder), as a real
//           check leaves recovered fragments.
// Exit code: 0 the volume is clean (now), 1 it is dirty and /f was not
// given, 87 bad arguments, else the system's error code of the failed
// open, read or write.
#include "store_layout.h"
#include "win/handles.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool IsDriveText(const char *t)
{
    const size_t n = strlen(t);
    const bool letter = (t[0] >= 'A' && t[0] <= 'Z') || (t[0] >= 'a' && t[0] <= 'z');
    return letter && t[1] == ':' && (n == 2 || (n == 3 && t[2] == '\\'));
}

void LeaveFragments(const std::string &root)
{
    const std::string found = root + "FOUND.000";
    CreateDirectoryA(found.c_str(), nullptr);
    for (const std::string &file : {found + "\\FILE0000.CHK", root + "FILE0000.CHK"}) {
        CFileHandle h(
            CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (h) {
            static const char fragment[] = "recovered fragment\r\n";
            DWORD written = 0;
            WriteFile(h.Get(), fragment, sizeof fragment - 1, &written, nullptr);
        }
    }
}

DWORD Check(const std::string &device, bool fix)
{
    CFileHandle volume(CreateFileA(device.c_str(), GENERIC_READ | (fix ? GENERIC_WRITE : 0),
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume)
        return GetLastError();
    alignas(512) BYTE boot[sefra_store::kBootBlockSize] = {};
    DWORD done = 0;
    if (!ReadFile(volume.Get(), boot, sizeof boot, &done, nullptr))
        return GetLastError();
    if (done != sizeof boot)
        return ERROR_HANDLE_EOF;
    if (boot[sefra_store::kDirtyFlagOffset] == 0) {
        printf("%s: clean\n", device.c_str());
        return 0;
    }
    if (!fix) {
        printf("%s: needs a check (dirty)\n", device.c_str());
        return 1;
    }
    boot[sefra_store::kDirtyFlagOffset] = 0;
    if (SetFilePointer(volume.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return GetLastError();
    if (!WriteFile(volume.Get(), boot, sizeof boot, &done, nullptr))
        return GetLastError();
    if (done != sizeof boot)
        return ERROR_WRITE_FAULT;
    FlushFileBuffers(volume.Get());
    printf("%s: dirty flag cleared\n", device.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || !argv[1][0]) {
        fprintf(stderr, "usage: sefra_chkdsk <X:|container> [/x] [/f] [/L]\n");
        return ERROR_INVALID_PARAMETER;
    }
    bool fix = false, leftovers = false;
    for (int i = 2; i < argc; ++i) {
        if (_stricmp(argv[i], "/f") == 0)
            fix = true;
        else if (_stricmp(argv[i], "/L") == 0)
            leftovers = true;
        else if (_stricmp(argv[i], "/x") != 0) {
            fprintf(stderr, "sefra_chkdsk: unknown switch %s\n", argv[i]);
            return ERROR_INVALID_PARAMETER;
        }
    }
    const std::string target = argv[1];
    std::string device, root;
    if (IsDriveText(target.c_str())) {
        device = std::string("\\\\.\\") + target.substr(0, 2);
        root = target.substr(0, 2) + "\\";
    } else {
        device = target;
        root = target + sefra_store::kContentFolderSuffix + "\\";
    }
    const DWORD result = Check(device, fix);
    if (result == 0 && leftovers)
        LeaveFragments(root);
    return static_cast<int>(result);
}
