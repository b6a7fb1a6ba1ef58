// platform_config.h - the stand-in's platform configuration file.
//
// One INI file describes the platform service, the platforms, the disks
// and each platform's drive rules (layout in standins/README.md). Its path
// is the environment variable SEFRA_STANDIN_CONFIG when set and not empty,
// else "Platforms.ini" in the folder of Palmet.dll. It is read afresh on
// every call, so a test may switch configurations between calls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace palmet {

constexpr const char kConfigEnvVar[] = "SEFRA_STANDIN_CONFIG";
constexpr const char kConfigFileName[] = "Platforms.ini";
constexpr const char kDefaultResetCode[] = "SefraReset20061120"; // 18 characters

struct PlatformEntry {
    DWORD number = 0;
    DWORD kind = 0;
    std::string file;
    std::string name;
    std::string section; // "Platform<n>"
};

HMODULE PalmetModule();

// Full path of the configuration file; false when it cannot be formed.
bool ConfigPath(std::string &path);
// Windows error code: 0 when the configuration file exists, else why not.
DWORD ConfigStatus();

std::string ConfigString(const char *section, const char *key, const char *def = "");
// Decimal, or hexadecimal with 0x; def when missing or not a number.
DWORD ConfigNumber(const char *section, const char *key, DWORD def);

// The platforms in configuration order ([Platforms] Count, [Platform1]...).
std::vector<PlatformEntry> ConfigPlatforms();

// A file next to the configuration file (for relative names in it).
std::string BesideConfig(const std::string &name);

// Splits "a,b,c" into trimmed fields.
std::vector<std::string> SplitFields(const std::string &text);
bool ParseNumber(const std::string &text, DWORD &value);

} // namespace palmet
