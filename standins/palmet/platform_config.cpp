// platform_config.cpp - reading the stand-in's platform configuration file.
#include "platform_config.h"

#include <cstdlib>

namespace palmet {

HMODULE PalmetModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&PalmetModule), &module);
    return module;
}

bool ConfigPath(std::string &path)
{
    char buffer[MAX_PATH] = {};
    const DWORD envLength = GetEnvironmentVariableA(kConfigEnvVar, buffer, sizeof buffer);
    if (envLength > 0 && envLength < sizeof buffer) {
        path = buffer;
        return true;
    }
    const DWORD length = GetModuleFileNameA(PalmetModule(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return false;
    path = buffer;
    const size_t slash = path.find_last_of("\\/");
    path.erase(slash == std::string::npos ? 0 : slash + 1);
    path += kConfigFileName;
    return path.size() < MAX_PATH;
}

DWORD ConfigStatus()
{
    std::string path;
    if (!ConfigPath(path))
        return ERROR_FILE_NOT_FOUND;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_FILE_NOT_FOUND;
    return 0;
}

std::string ConfigString(const char *section, const char *key, const char *def)
{
    std::string path;
    if (!ConfigPath(path))
        return def;
    char value[1024] = {};
    GetPrivateProfileStringA(section, key, def, value, sizeof value, path.c_str());
    return value;
}

bool ParseNumber(const std::string &text, DWORD &value)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    const unsigned long parsed = strtoul(text.c_str(), &end, 0);
    if (!end || *end != '\0')
        return false;
    value = static_cast<DWORD>(parsed);
    return true;
}

DWORD ConfigNumber(const char *section, const char *key, DWORD def)
{
    DWORD value = def;
    return ParseNumber(ConfigString(section, key), value) ? value : def;
}

std::vector<PlatformEntry> ConfigPlatforms()
{
    std::vector<PlatformEntry> platforms;
    const DWORD count = ConfigNumber("Platforms", "Count", 0);
    for (DWORD i = 1; i <= count && i <= 64; ++i) {
        PlatformEntry entry;
        entry.section = "Platform" + std::to_string(i);
        entry.number = ConfigNumber(entry.section.c_str(), "Number", 0);
        entry.kind = ConfigNumber(entry.section.c_str(), "Kind", 1);
        entry.file = ConfigString(entry.section.c_str(), "File");
        entry.name = ConfigString(entry.section.c_str(), "Name");
        platforms.push_back(entry);
    }
    return platforms;
}

std::string BesideConfig(const std::string &name)
{
    if (name.size() >= 2 && (name[1] == ':' || (name[0] == '\\' && name[1] == '\\')))
        return name;
    std::string path;
    if (!ConfigPath(path))
        return name;
    const size_t slash = path.find_last_of("\\/");
    path.erase(slash == std::string::npos ? 0 : slash + 1);
    return path + name;
}

std::vector<std::string> SplitFields(const std::string &text)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        std::string field = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const size_t first = field.find_first_not_of(" \t");
        const size_t last = field.find_last_not_of(" \t");
        fields.push_back(first == std::string::npos ? std::string() : field.substr(first, last - first + 1));
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

} // namespace palmet
