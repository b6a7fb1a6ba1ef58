// app.cpp - DllMain and the application object: the crash handler and
// g_bXpFamily at process attach.
#include "module/app.h"

#include "diagnostics/crash_handler.h"

CSefraboxApp theApp;

bool CSefraboxApp::InitInstance()
{
    InstallCrashHandler();
    g_bXpFamily = DetectXpFamily(GetVersionExA);
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
