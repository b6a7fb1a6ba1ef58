// app.h - the library's application object and what process attach sets:
// the instance handle (win/resource_module.h) and g_bXpFamily
// (machine/system_family.h).
#pragma once

#include "machine/system_family.h"
#include "win/resource_module.h"

#include <windows.h>

// The one application object. Start-up installs the crash handler, sets
// g_bXpFamily and hands the mount lock its clean-up after dead processes
// (leftovers.h); unloading does no clean-up of its own.
class CSefraboxApp {
public:
    // Runs once per process at attach; false refuses the load.
    bool InitInstance();
    void ExitInstance() {}
};

extern CSefraboxApp theApp;
