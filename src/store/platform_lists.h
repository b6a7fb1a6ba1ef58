// platform_lists.h - the platforms of this machine as the platform service
// lists them, kept as the rows the dialog and Send To work with.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Four lists indexed alike: position k of each describes one platform.
struct PlatformRows {
    std::vector<DWORD> kinds;       // 0 the main system, 1 an offered platform
    std::vector<DWORD> numbers;     // the platform's number, 255 for the main system
    std::vector<std::string> files; // its container file (the main system: its display name)
    std::vector<std::string> names; // its display name
    bool hasDefaultStore = false;   // the service named a default store
    std::string defaultStore;       // its file: the last platform of the default-store kind
};

// Asks the platform service for its lists (InitVPFInfo, over a channel the
// caller has opened and prepared) and keeps the offered platforms in the
// service's order, and the default store. The service's result; the rows
// hold what it listed whatever the result.
DWORD ReadPlatformRows(PlatformRows &rows);

// Puts the main system first: kind 0, number 255, and its display name
// (string 3372) as file and as name.
void InsertMainSystemRow(PlatformRows &rows);
