// targets_cmd.cpp - "targets [<platform number> | <platform file>]": the
// drives a platform may see (GetDriveTargets), one line per drive.
#include "commands.h"
#include "host_world.h"

#include "Sefrabox.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool AllDigits(const char *text)
{
    if (!*text)
        return false;
    for (; *text; ++text) {
        if (!std::isdigit(static_cast<unsigned char>(*text)))
            return false;
    }
    return true;
}

// Reads a pointer field of the packed record.
const char *PointerAt(const FILE_OPERATION &op, size_t offset, unsigned long i)
{
    const char *p = nullptr;
    std::memcpy(&p, reinterpret_cast<const char *>(&op) + offset + i * sizeof p, sizeof p);
    return p;
}

} // namespace

int RunTargets(SefraboxLibrary &library, int argc, char **argv)
{
    if (argc > 1) {
        std::fprintf(stderr, "usage: sefrabox-host targets [<platform number> | <platform file>]\n");
        return kHostUsage;
    }
    using GetDriveTargetsFn = int(__cdecl *)(const char *, FILE_OPERATION *, char *, unsigned int, char *, unsigned int,
                                             unsigned char, unsigned long, unsigned char);
    auto getTargets = library.RequireEntryAs<GetDriveTargetsFn>(SEFRABOX_ORD_GETDRIVETARGETS, "GetDriveTargets");
    if (!getTargets)
        return kHostNoLibrary;
    const std::string config = PrepareWorld(kDefaultWorld);
    if (config.empty())
        return kHostRefused;

    std::string file;
    if (argc == 1 && AllDigits(argv[0])) {
        file = PlatformFile(config, std::strtoul(argv[0], nullptr, 10));
        if (file.empty()) {
            std::fprintf(stderr, "sefrabox-host: no platform %s in %s\n", argv[0], config.c_str());
            return kHostRefused;
        }
    } else if (argc == 1) {
        file = argv[0];
    }

    FILE_OPERATION op{};
    char paths[512] = {}, names[512] = {};
    const int rc =
        getTargets(file.empty() ? nullptr : file.c_str(), &op, paths, sizeof paths, names, sizeof names, 0, 7, 1);
    std::printf("platform file: %s\n", file.empty() ? "(none: every drive, writable)" : file.c_str());
    if (rc != 0 && rc != ERROR_MORE_DATA) {
        std::fprintf(stderr, "sefrabox-host: GetDriveTargets returned %d\n", rc);
        return kHostRefused;
    }
    std::printf("%-3s %-6s %-10s %s\n", "#", "drive", "access", "name");
    const unsigned long count = op.dwTargetCount <= 27 ? op.dwTargetCount : 27;
    for (unsigned long i = 0; i < count; ++i) {
        const char *path = PointerAt(op, offsetof(FILE_OPERATION, lpTargetPath), i);
        const char *name = PointerAt(op, offsetof(FILE_OPERATION, lpTargetName), i);
        std::printf("%-3lu %-6s %-10s %s\n", i + 1, path ? path : "?",
                    op.uchTargetWritable[i] ? "writable" : "read-only", name ? name : "");
    }
    std::printf("%lu drive(s)%s\n", count, rc == ERROR_MORE_DATA ? "; the list was cut (buffers full)" : "");
    return kHostOk;
}
