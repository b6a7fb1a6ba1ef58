// shell_windows.h - CShellWindows, the collection of the platform file
// manager's windows (CLSID_ShellWindows), made by the provider's class
// object.
//
// Its own: get_Count, Item and _NewEnum over the shown windows of the
// thread's window tracker (one browser object per window), and the
// DShellWindowsEvents connection point. Registration members (Register,
// RegisterPending, Revoke, OnNavigate, OnActivated, FindWindowSW,
// OnCreated, ProcessAttachDetach) go to the platform's own window server,
// a local server, so that the programs that register windows there lose
// nothing; its errors come back unchanged.
#pragma once

#include "automation.h"
#include "browser.h"
#include "event_source.h"
#include "module.h"

#include "win/com_ptr.h"

#include <exdisp.h>

#include <vector>

class CWindowTracker;

class CShellWindows final : public CDualDispatch<IShellWindows, IID_IShellWindows>,
                            public IConnectionPointContainer,
                            private CProviderObject {
public:
    CShellWindows() = default;
    ~CShellWindows();
    CShellWindows(const CShellWindows &) = delete;
    CShellWindows &operator=(const CShellWindows &) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IShellWindows: the file manager's windows.
    HRESULT STDMETHODCALLTYPE get_Count(LONG *count) override;
    // An integer index into the windows as last counted: S_OK and the
    // window's browser, S_FALSE and null when out of range, E_INVALIDARG for
    // any other kind of index or a null result pointer.
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch **folder) override;
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown **ppunk) override;
    // IShellWindows: the platform's own window server.
    HRESULT STDMETHODCALLTYPE Register(IDispatch *pid, LONG hwnd, int swClass, LONG *cookie) override;
    HRESULT STDMETHODCALLTYPE RegisterPending(LONG threadId, VARIANT *loc, VARIANT *locRoot, int swClass,
                                              LONG *cookie) override;
    HRESULT STDMETHODCALLTYPE Revoke(LONG cookie) override;
    HRESULT STDMETHODCALLTYPE OnNavigate(LONG cookie, VARIANT *loc) override;
    HRESULT STDMETHODCALLTYPE OnActivated(LONG cookie, VARIANT_BOOL active) override;
    HRESULT STDMETHODCALLTYPE FindWindowSW(VARIANT *loc, VARIANT *locRoot, int swClass, LONG *hwnd, int options,
                                           IDispatch **ppdispOut) override;
    HRESULT STDMETHODCALLTYPE OnCreated(LONG cookie, IUnknown *punk) override;
    HRESULT STDMETHODCALLTYPE ProcessAttachDetach(VARIANT_BOOL attach) override;
    // IConnectionPointContainer: DShellWindowsEvents.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **ppEnum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp) override;

    // WindowRegistered or WindowRevoked with the window's cookie.
    void FireWindowEvent(DISPID id, LONG cookie);

private:
    // Reaches the thread's tracker on first use (false when it cannot run).
    bool Track();
    // Looks at the windows and keeps the shown ones as the items.
    HRESULT Recount();
    HRESULT Server(CComPtr<IShellWindows> &server);

    volatile LONG m_cRef = 0;
    CWindowTracker *m_tracker = nullptr;
    bool m_counted = false;
    std::vector<CComPtr<CBrowser>> m_items;
    CComPtr<IShellWindows> m_server;
    CEventSource m_events{this, DIID_DShellWindowsEvents};
};
