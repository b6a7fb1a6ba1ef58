// module.cpp - DllMain, the class object of CLSID_ShellWindows,
// DllGetClassObject and DllCanUnloadNow.
#include "module.h"

#include "provider_trace.h"
#include "shell_windows.h"
#include "window_tracker.h"

#include <exdisp.h>

#include <new>

namespace {

HINSTANCE g_hInstance = nullptr;
volatile LONG g_cObjects = 0;
volatile LONG g_cLocks = 0;
thread_local int t_outgoingCalls = 0;

class CClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory *>(this);
            return S_OK;
        }
        ProviderTrace("ClassFactory::QueryInterface(%s): no such interface", IidText(iid).c_str());
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The class object is static: its references are the module's locks.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **ppv) override
    {
        ProviderTrace("ClassFactory::CreateInstance(%s)", IidText(iid).c_str());
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        CShellWindows *windows = new (std::nothrow) CShellWindows();
        if (!windows)
            return E_OUTOFMEMORY;
        windows->AddRef();
        const HRESULT hr = windows->QueryInterface(iid, ppv);
        windows->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        ProviderTrace("ClassFactory::LockServer(%d)", lock);
        if (lock)
            InterlockedIncrement(&g_cLocks);
        else
            InterlockedDecrement(&g_cLocks);
        return S_OK;
    }
};

CClassFactory g_factory;

// The COM surrogate loads an in-process server to serve it to other
// processes as a local server.
bool IsComSurrogate()
{
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char *name = path;
    for (DWORD i = 0; i < n; ++i)
        if (path[i] == '\\' || path[i] == '/')
            name = path + i + 1;
    return lstrcmpiA(name, "dllhost.exe") == 0;
}

} // namespace

HINSTANCE ProviderInstance() { return g_hInstance; }

CProviderObject::CProviderObject() { InterlockedIncrement(&g_cObjects); }
CProviderObject::~CProviderObject() { InterlockedDecrement(&g_cObjects); }

COutgoingCall::COutgoingCall() { ++t_outgoingCalls; }
COutgoingCall::~COutgoingCall() { --t_outgoingCalls; }
bool COutgoingCall::InProgress() { return t_outgoingCalls > 0; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_hInstance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        CWindowTracker::UnregisterWindowClass();
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void **ppv)
{
    ProviderTrace("DllGetClassObject(%s, %s)", IidText(clsid).c_str(), IidText(iid).c_str());
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_ShellWindows))
        return CLASS_E_CLASSNOTAVAILABLE;
    // The local server of the class is the platform's own window server, to
    // which the registration members are forwarded: when it does not run,
    // COM would start the surrogate on this library, and the forward would
    // come back here, again and again. The provider serves only the process
    // that loads it.
    if (IsComSurrogate()) {
        ProviderTrace("DllGetClassObject: not served in the COM surrogate");
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_factory.QueryInterface(iid, ppv);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_cObjects == 0 && g_cLocks == 0 ? S_OK : S_FALSE; }
