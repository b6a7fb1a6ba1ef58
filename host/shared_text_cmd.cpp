// shared_text_cmd.cpp - "shared-text set <text>" and "shared-text get": the
// text slot that every process loading the library shares.
#include "commands.h"

#include "Sefrabox.h"

#include <cstdio>
#include <cstring>

int RunSharedText(SefraboxLibrary &library, int argc, char **argv)
{
    using SetSharedTextFn = int(__cdecl *)(const char *);
    using GetSharedTextFn = int(__cdecl *)(char *);

    if (argc == 2 && std::strcmp(argv[0], "set") == 0) {
        auto set = library.RequireEntryAs<SetSharedTextFn>(SEFRABOX_ORD_SETSHAREDTEXT, "SetSharedText");
        if (!set)
            return kHostNoLibrary;
        if (!set(argv[1])) {
            std::fprintf(stderr, "sefrabox-host: text refused (the slot holds at most 127 bytes)\n");
            return kHostRefused;
        }
        std::printf("stored\n");
        return kHostOk;
    }
    if (argc == 1 && std::strcmp(argv[0], "get") == 0) {
        auto get = library.RequireEntryAs<GetSharedTextFn>(SEFRABOX_ORD_GETSHAREDTEXT, "GetSharedText");
        if (!get)
            return kHostNoLibrary;
        char text[128] = {};
        if (!get(text)) {
            std::fprintf(stderr, "sefrabox-host: GetSharedText refused\n");
            return kHostRefused;
        }
        std::printf("%s\n", text);
        return kHostOk;
    }
    std::fprintf(stderr, "usage: sefrabox-host shared-text set <text>\n       sefrabox-host shared-text get\n");
    return kHostUsage;
}
