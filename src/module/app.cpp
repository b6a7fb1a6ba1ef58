// app.cpp - DllMain and the application object: at process attach the
// crash handler, g_bXpFamily and the lock's clean-up after dead processes.
#include "module/app.h"

#include "diagnostics/crash_handler.h"
#include "machine/mount_lock.h"
#include "module/leftovers.h"

CSefraboxApp theApp;

bool CSefraboxApp::InitInstance()
{
    InstallCrashHandler();
    g_bXpFamily = DetectXpFamily(GetVersionExA);
    SetMountLockCleanup({ClearDeadHolderLeftovers, ClearDeadDialogIfAny});
    return true;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hinst, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_hSefraboxInstance = hinst;
        if (!theApp.InitInstance()) {
            theApp.ExitInstance();
            return FALSE;
        }
        break;
    case DLL_PROCESS_DETACH:
        // Nothing is unmounted here: the shared block keeps the state for
        // the other processes and the next show entry.
        theApp.ExitInstance();
        break;
    default:
        break;
    }
    return TRUE;
}
