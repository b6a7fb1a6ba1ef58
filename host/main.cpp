// main.cpp - sefrabox-host: plays the suite's control program. Loads
// Sefrabox.dll from its own folder and reports or changes what it finds.
//
// Exit codes: 0 done, 1 the library refused the request, 2 bad command line,
// 3 the library cannot be loaded or lacks an entry.
#include "commands.h"

#include <cstdio>
#include <cstring>

namespace {

const HostCommand *FindCommand(const char *name)
{
    for (const HostCommand &command : HostCommands()) {
        if (std::strcmp(command.name, name) == 0)
            return &command;
    }
    return nullptr;
}

void PrintUsage(FILE *out)
{
    std::fprintf(out, "usage: sefrabox-host [command [arguments]]   (default command: info)\n\ncommands:\n");
    for (const HostCommand &command : HostCommands())
        std::fprintf(out, "  %-38s %s\n", command.usage, command.summary);
    std::fprintf(out, "  %-38s %s\n", "--help", "this text");
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 &&
        (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "/?") == 0)) {
        PrintUsage(stdout);
        return kHostOk;
    }
    const char *name = argc >= 2 ? argv[1] : "info";
    const HostCommand *command = FindCommand(name);
    if (!command) {
        std::fprintf(stderr, "sefrabox-host: unknown command \"%s\"\n\n", name);
        PrintUsage(stderr);
        return kHostUsage;
    }

    SefraboxLibrary library;
    if (!library.Load())
        return kHostNoLibrary;
    const int argsAfterName = argc >= 2 ? argc - 2 : 0;
    return command->run(library, argsAfterName, argc >= 2 ? argv + 2 : argv + argc);
}
