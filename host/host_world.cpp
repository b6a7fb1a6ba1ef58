// host_world.cpp - the stand-in world of the host's commands.
#include "host_world.h"

#include "demo_world.h"

#include <windows.h>

#include <cstdio>

std::string PrepareWorld(const std::string &folder)
{
    char configured[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("SEFRA_STANDIN_CONFIG", configured, sizeof configured);
    if (n > 0 && n < sizeof configured)
        return configured;

    const std::string config = DemoWorld{folder}.Config();
    if (GetFileAttributesA(config.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = MakeDemoWorld(folder);
        if (code == MAXDWORD) {
            std::fprintf(stderr, "sefrabox-host: cannot start make_demo_world\n");
            return {};
        }
        if (code != 0) {
            std::fprintf(stderr, "sefrabox-host: make_demo_world failed with %lu\n", code);
            return {};
        }
        std::printf("demo world made in %s\n", folder.c_str());
    }
    SetEnvironmentVariableA("SEFRA_STANDIN_CONFIG", config.c_str());
    return config;
}

namespace {

// The File of the first platform section whose key equals value.
std::string FileWhere(const std::string &config, const char *key, unsigned long value)
{
    const UINT count = GetPrivateProfileIntA("Platforms", "Count", 0, config.c_str());
    for (UINT i = 1; i <= count && i < 256; ++i) {
        const std::string section = "Platform" + std::to_string(i);
        if (GetPrivateProfileIntA(section.c_str(), key, 0, config.c_str()) != value)
            continue;
        char file[MAX_PATH] = {};
        GetPrivateProfileStringA(section.c_str(), "File", "", file, sizeof file, config.c_str());
        return file;
    }
    return {};
}

} // namespace

std::string StoreFile(const std::string &config) { return FileWhere(config, "Kind", 2); }

std::string PlatformFile(const std::string &config, unsigned long number)
{
    return FileWhere(config, "Number", number);
}
