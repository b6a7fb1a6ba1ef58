// host_world.h - the stand-in world the host's commands work on: a sefra
// store with its platform configuration, made once by make_demo_world.
#pragma once

#include <string>

// The configuration the suite's libraries read: SEFRA_STANDIN_CONFIG when
// the caller set it; otherwise <folder>\Platforms.ini, after making the
// demo world in folder when that file is missing (and pointing the variable
// at it for this process and the programs it starts). Empty, with the reason
// printed to stderr, when the world cannot be made.
std::string PrepareWorld(const std::string &folder);

// The default folder of the demo world.
constexpr const char kDefaultWorld[] = "C:\\SefraDemo";

// The store file of the configuration: the File of its kind-2 platform.
std::string StoreFile(const std::string &config);

// The File of the platform numbered number in the configuration.
std::string PlatformFile(const std::string &config, unsigned long number);
