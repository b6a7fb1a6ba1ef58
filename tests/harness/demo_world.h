// demo_world.h - the stand-ins' demo world (standins/README.md): the store
// Sefra.vpf with its content folder (the profile Sefrabox.ini, records 1 to
// 3 for the sefras of platforms 255, 1 and 2: MainSefra, WorkSefra,
// PlaySefra), the platforms' disks and their configuration Platforms.ini,
// as make_demo_world makes it in a folder.
#pragma once

#include <windows.h>

#include <string>

// The names of the demo world's two platforms besides the main system (code
// page 936): 工作平台 (work, platform 1) and 娱乐平台 (play, platform 2).
inline constexpr char kDemoWorkPlatform[] = "\xB9\xA4\xD7\xF7\xC6\xBD\xCC\xA8";
inline constexpr char kDemoPlayPlatform[] = "\xD3\xE9\xC0\xD6\xC6\xBD\xCC\xA8";

struct DemoWorld {
    std::string folder;

    std::string operator/(const std::string &name) const { return folder + "\\" + name; }
    std::string Store() const { return folder + "\\Sefra.vpf"; }
    std::string Content() const { return Store() + ".files"; }
    std::string Profile() const { return Content() + "\\Sefrabox.ini"; }
    std::string Config() const { return folder + "\\Platforms.ini"; }
    // The folder of a sefra, by its Target.
    std::string Sefra(const std::string &target) const { return Content() + "\\" + target; }
};

// Runs make_demo_world from the bin folder with options ("--no-passwords",
// "--dirty --leftovers", ...) into folder, waiting at most timeoutMs: its
// exit code, MAXDWORD when it cannot start or does not end in time. Its
// errors go to this process's standard error.
DWORD MakeDemoWorld(const std::string &folder, const std::string &options = std::string(), DWORD timeoutMs = INFINITE);
