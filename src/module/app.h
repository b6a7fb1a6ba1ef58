// app.h - the library's application object and the per-process module data.
#pragma once

#include "win/resource_module.h"

#include <windows.h>

// 1 on Windows NT 5.1 and 5.2 (drive links through DefineDosDeviceA),
// 0 elsewhere (drive links through the suite's driver).
extern int g_bXpFamily;

// Decides g_bXpFamily from a version record: NT platform, major 5, minor 1 or 2.
int IsXpFamilyVersion(const OSVERSIONINFOA &info);

// The system's version query, GetVersionExA in the library.
using VersionQuery = BOOL(WINAPI *)(OSVERSIONINFOA *);

// g_bXpFamily as InitInstance sets it: asks with the extended record
// (size 156), then with the basic one (size 148); 0 when both are refused.
int DetectXpFamily(VersionQuery query);

// The one application object. Start-up installs the crash handler and sets
// g_bXpFamily; unloading does no clean-up of its own.
class CSefraboxApp {
public:
    // Runs once per process at attach; false refuses the load.
    bool InitInstance();
    void ExitInstance() {}
};

extern CSefraboxApp theApp;
