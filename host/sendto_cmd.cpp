// sendto_cmd.cpp - "sendto <sefra id> <file>...": the files sent to a sefra
// the way the shell's Send To menu sends them, through the system's
// rundll32 and the library's MySendTo entry.
#include "commands.h"
#include "host_world.h"
#include "process.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A name with a blank is enclosed in double quotes, as the shell does.
std::string ListEntry(const char *name)
{
    return std::strchr(name, ' ') ? std::string("\"") + name + "\"" : std::string(name);
}

std::string FullPath(const char *name)
{
    char full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameA(name, sizeof full, full, nullptr);
    return n > 0 && n < sizeof full ? std::string(full) : std::string(name);
}

} // namespace

int RunSendTo(SefraboxLibrary &library, int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: sefrabox-host sendto <sefra id> <file>...\n");
        return kHostUsage;
    }
    if (PrepareWorld(kDefaultWorld).empty())
        return kHostRefused;
    std::string files;
    for (int i = 1; i < argc; ++i) {
        if (GetFileAttributesA(argv[i]) == INVALID_FILE_ATTRIBUTES) {
            std::fprintf(stderr, "sefrabox-host: no such file: %s\n", argv[i]);
            return kHostUsage;
        }
        if (std::strchr(argv[i], ','))
            std::fprintf(stderr, "sefrabox-host: warning: a comma ends the Send To list: %s\n", argv[i]);
        files += (files.empty() ? "" : " ") + ListEntry(FullPath(argv[i]).c_str());
    }
    char system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(system, sizeof system);
    if (n == 0 || n >= sizeof system)
        return kHostRefused;
    const std::string dll =
        std::strchr(library.Path(), ' ') ? "\"" + std::string(library.Path()) + "\"" : std::string(library.Path());
    const std::string command =
        "\"" + std::string(system) + "\\rundll32.exe\" " + dll + ",MySendTo " + argv[0] + "," + files;
    std::printf("%s\n", command.c_str());

    // Started in the library's folder, as the Send To shortcut is: rundll32
    // loads the library by its path, but the suite's libraries beside it are
    // found through the current folder.
    const std::string folder = BinDir();
    ChildOptions options;
    options.currentDir = folder.substr(0, folder.size() - 1);
    const ChildRun run = RunChild(command, options);
    if (!run.started) {
        std::fprintf(stderr, "sefrabox-host: cannot start rundll32 (error %lu)\n", run.startError);
        return kHostRefused;
    }
    std::printf("rundll32 ended with exit code %lu\n", run.exitCode);
    return kHostOk;
}
