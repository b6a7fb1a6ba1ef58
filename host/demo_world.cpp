// demo_world.cpp - the stand-in world of the host's commands.
#include "demo_world.h"

#include "win/handles.h"

#include <windows.h>

#include <cstdio>
#include <vector>

std::string HostFolder()
{
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n < sizeof path ? n : 0);
    const size_t slash = folder.rfind('\\');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool RunToEnd(const std::string &commandLine, const char *what, unsigned long &exitCode)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "sefrabox-host: cannot start %s (error %lu)\n", what, GetLastError());
        return false;
    }
    CKernelHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    exitCode = code;
    return true;
}

std::string PrepareWorld(const std::string &folder)
{
    char configured[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("SEFRA_STANDIN_CONFIG", configured, sizeof configured);
    if (n > 0 && n < sizeof configured)
        return configured;

    const std::string config = folder + "\\Platforms.ini";
    if (GetFileAttributesA(config.c_str()) == INVALID_FILE_ATTRIBUTES) {
        unsigned long code = 1;
        if (!RunToEnd("\"" + HostFolder() + "make_demo_world.exe\" \"" + folder + "\"", "make_demo_world", code))
            return {};
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
