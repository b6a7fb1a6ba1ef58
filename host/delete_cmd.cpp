// delete_cmd.cpp - "delete <platform id> [<store file>]": DeleteSefra, which
// empties that platform's sefra and clears its password. The store file is
// by default the store named in the platform configuration.
#include "commands.h"
#include "host_world.h"

#include "Sefrabox.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int RunDelete(SefraboxLibrary &library, int argc, char **argv)
{
    if (argc < 1 || argc > 2) {
        std::fprintf(stderr, "usage: sefrabox-host delete <platform id> [<store file>]\n");
        return kHostUsage;
    }
    using DeleteSefraFn = int(__cdecl *)(const char *, unsigned long);
    auto deleteSefra = library.RequireEntryAs<DeleteSefraFn>(SEFRABOX_ORD_DELETESEFRA, "DeleteSefra");
    if (!deleteSefra)
        return kHostNoLibrary;
    const std::string config = PrepareWorld(kDefaultWorld);
    if (config.empty())
        return kHostRefused;
    char *end = nullptr;
    const unsigned long platform = std::strtoul(argv[0], &end, 10);
    if (!*argv[0] || *end) {
        std::fprintf(stderr, "sefrabox-host: not a platform id: %s\n", argv[0]);
        return kHostUsage;
    }
    const std::string store = argc == 2 ? std::string(argv[1]) : StoreFile(config);
    if (store.empty()) {
        std::fprintf(stderr, "sefrabox-host: no store named in %s; give the store file\n", config.c_str());
        return kHostUsage;
    }
    const int rc = deleteSefra(store.c_str(), platform);
    std::printf("DeleteSefra(\"%s\", %lu) returned %d\n", store.c_str(), platform, rc);
    return rc == 0 ? kHostOk : kHostRefused;
}
