// make_demo_world.cpp - builds a complete stand-in sefra store for the demo
// and the tests.
//
// Usage: make_demo_world [--dirty] [--no-passwords] [--leftovers]
//                        [--config <file>] <folder>
// Creates in <folder>:
//   Sefra.vpf             the container: a 512-byte boot block (dirty flag
//                         byte 0x41 set with --dirty), padded to 64 KiB
//   Sefra.vpf.files\      the store volume's content: Sefrabox.ini with
//                         records for platforms 255, 1 and 2, their sefra
//                         folders and a few sample files
//   Work.vpf, Play.vpf    the disks of platforms 1 and 2 (containers like
//                         the store, with a sample file each)
//   Platforms.ini         the platform configuration (or <file> given with
//                         --config): service running, platforms 1 and 2
//                         (kind 1) and the store (kind 2), three disks and
//                         the drive rules of platform 1
// --leftovers makes the disk check leave its recovered-file entries.
// Exit code 0, or the system error of the first step that failed.
#include "store_layout.h"
#include "suite/Palmet.h"
#include "win/handles.h"
#include "win/paths.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Sefra {
    int id;
    const char *target;
    const char *password;
};

const Sefra kSefras[] = {
    {255, "MainSefra", "main"},
    {1, "WorkSefra", "work1"},
    {2, "PlaySefra", "play2"},
};

DWORD WriteWholeFile(const std::string &path, const void *data, size_t size)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return GetLastError();
    DWORD written = 0;
    if (!WriteFile(h.Get(), data, static_cast<DWORD>(size), &written, nullptr))
        return GetLastError();
    return written == size ? 0 : ERROR_WRITE_FAULT;
}

DWORD WriteText(const std::string &path, const std::string &text)
{
    return WriteWholeFile(path, text.data(), text.size());
}

DWORD MakeFolder(const std::string &path)
{
    if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    return GetLastError();
}

DWORD MakeContainer(const std::string &path, bool dirty)
{
    std::string image(sefra_store::kContainerSize, '\0');
    BYTE *b = reinterpret_cast<BYTE *>(&image[0]);
    b[0] = 0xEB;
    b[1] = 0x58;
    b[2] = 0x90;
    memcpy(b + 3, sefra_store::kOemName, sizeof sefra_store::kOemName);
    b[0x0B] = 0x00; // 512 bytes per sector
    b[0x0C] = 0x02;
    b[0x0D] = 1;    // sectors per cluster
    b[0x0E] = 32;   // reserved sectors
    b[0x10] = 2;    // FATs
    b[0x15] = 0xF8; // fixed disk
    const DWORD sectors = sefra_store::kContainerSize / sefra_store::kBootBlockSize;
    memcpy(b + 0x20, &sectors, sizeof sectors);
    b[0x40] = 0x80; // drive number
    b[sefra_store::kDirtyFlagOffset] = dirty ? 0x01 : 0x00;
    b[0x42] = 0x29; // extended boot signature
    const DWORD serial = 0x20061120;
    memcpy(b + 0x43, &serial, sizeof serial);
    memcpy(b + 0x47, "SEFRABOX   ", 11);
    memcpy(b + 0x52, "FAT32   ", 8);
    b[0x1FE] = 0x55;
    b[0x1FF] = 0xAA;
    return WriteWholeFile(path, image.data(), image.size());
}

DWORD MakeContent(const std::string &content, bool passwords)
{
    DWORD e = MakeFolder(content);
    if (e)
        return e;
    const std::string profile = content + "\\" + sefra_store::kProfileName;
    DeleteFileA(profile.c_str());
    DWORD record = 1;
    for (const Sefra &s : kSefras) {
        char stored[20] = {};
        if (passwords)
            snprintf(stored, sizeof stored, "'%s'", s.password);
        int id = s.id;
        e = SetProfileParameter(record++, profile.c_str(), "int,id;str,Target;str,Password", &id, s.target, stored);
        if (e)
            return e;
        const std::string folder = content + "\\" + s.target;
        if ((e = MakeFolder(folder)) || (e = MakeFolder(folder + "\\Photos")))
            return e;
        const std::string readme = "Sefra of platform " + std::to_string(s.id) + "\r\n";
        if ((e = WriteText(folder + "\\readme.txt", readme)) ||
            (e = WriteText(folder + "\\Photos\\list.txt", "holiday.jpg\r\nfamily.jpg\r\n")))
            return e;
    }
    return 0;
}

DWORD MakeConfig(const std::string &config, const std::string &folder, bool leftovers)
{
    const std::string store = folder + "\\" + sefra_store::kStoreFileName;
    std::string t;
    t += "; Platform configuration of the stand-in suite libraries.\r\n";
    t += "[Service]\r\nRunning=1\r\nResetCode=SefraReset20061120\r\nRequestLog=Requests.log\r\n";
    t += std::string("ChkdskLeftovers=") + (leftovers ? "1" : "0") + "\r\n\r\n";
    t += "[Platforms]\r\nCount=3\r\n\r\n";
    // 工作平台 (work platform): rules C read-only, D writable, E hidden.
    t += "[Platform1]\r\nNumber=1\r\nKind=1\r\nFile=" + folder + "\\Work.vpf\r\n";
    t += "Name=\xB9\xA4\xD7\xF7\xC6\xBD\xCC\xA8\r\n";
    t += "Rules=3\r\nRule1=3,0,0x00007E00\r\nRule2=5,0,0x0A007E00\r\nRule3=1,1,0x00000800\r\n\r\n";
    // 娱乐平台 (entertainment platform): no rules, every drive writable.
    t += "[Platform2]\r\nNumber=2\r\nKind=1\r\nFile=" + folder + "\\Play.vpf\r\n";
    t += "Name=\xD3\xE9\xC0\xD6\xC6\xBD\xCC\xA8\r\n";
    t += "Rules=0\r\n\r\n";
    t += "[Platform3]\r\nNumber=3\r\nKind=2\r\nFile=" + store + "\r\nName=Sefra store\r\n\r\n";
    t += "[Disks]\r\nCount=3\r\nDevice1=C,0,0x00007E00\r\nDevice2=D,0,0x0A007E00\r\nDevice3=E,1,0x00000800\r\n";
    return WriteText(config, t);
}

std::string FullPath(const char *path)
{
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full)
        return path;
    std::string s = full;
    while (s.size() > 3 && EndsWithSeparator(s))
        s.pop_back();
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    bool dirty = false, passwords = true, leftovers = false;
    const char *folderArg = nullptr;
    const char *configArg = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--dirty") == 0)
            dirty = true;
        else if (strcmp(argv[i], "--no-passwords") == 0)
            passwords = false;
        else if (strcmp(argv[i], "--leftovers") == 0)
            leftovers = true;
        else if (strcmp(argv[i], "--config") == 0 && i + 1 < argc)
            configArg = argv[++i];
        else if (argv[i][0] != '-' && !folderArg)
            folderArg = argv[i];
        else {
            folderArg = nullptr; // an unknown option or a second folder: show the usage
            break;
        }
    }
    if (!folderArg) {
        fprintf(stderr, "usage: make_demo_world [--dirty] [--no-passwords] [--leftovers] [--config <file>] <folder>\n");
        return ERROR_INVALID_PARAMETER;
    }
    const std::string folder = FullPath(folderArg);
    const std::string store = folder + "\\" + sefra_store::kStoreFileName;
    const std::string config = configArg ? FullPath(configArg) : folder + "\\Platforms.ini";
    DWORD e = MakeFolder(folder);
    if (!e)
        e = MakeContainer(store, dirty);
    if (!e)
        e = MakeContent(store + sefra_store::kContentFolderSuffix, passwords);
    for (const char *disk : {"Work.vpf", "Play.vpf"}) {
        const std::string path = folder + "\\" + disk;
        if (!e)
            e = MakeContainer(path, false);
        if (!e)
            e = MakeFolder(path + sefra_store::kContentFolderSuffix);
        if (!e)
            e = WriteText(path + sefra_store::kContentFolderSuffix + "\\platform.txt",
                          "A file of the platform's disk.\r\n");
    }
    if (!e)
        e = MakeConfig(config, folder, leftovers);
    if (e) {
        fprintf(stderr, "make_demo_world: failed with error %lu\n", static_cast<unsigned long>(e));
        return static_cast<int>(e);
    }
    printf("store %s\nconfig %s\n", store.c_str(), config.c_str());
    return 0;
}
