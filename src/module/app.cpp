// app.cpp - process attach: the crash handler and g_bXpFamily.
#include "module/app.h"

#include "diagnostics/crash_handler.h"

int g_bXpFamily = 0;
CSefraboxApp theApp;

int IsXpFamilyVersion(const OSVERSIONINFOA &info)
{
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5 &&
                   (info.dwMinorVersion == 1 || info.dwMinorVersion == 2)
               ? 1
               : 0;
}

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version record");
static_assert(sizeof(OSVERSIONINFOA) == 148, "basic version record");

int DetectXpFamily(VersionQuery query)
{
    // The extended record first; some systems accept only the basic one.
    OSVERSIONINFOEXA ex{};
    ex.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (query(reinterpret_cast<OSVERSIONINFOA *>(&ex)))
        return IsXpFamilyVersion(*reinterpret_cast<OSVERSIONINFOA *>(&ex));
    OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (query(&basic))
        return IsXpFamilyVersion(basic);
    return 0;
}

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
