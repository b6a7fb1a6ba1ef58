// shell_windows.cpp - CShellWindows (see shell_windows.h).
#include "shell_windows.h"

#include "provider_trace.h"
#include "window_enum.h"
#include "window_tracker.h"

#include <exdispid.h>

namespace {

// The index as a 32-bit integer, from any integer variant (also one passed
// by reference); false for every other kind.
bool IndexOf(VARIANT &index, LONG &value)
{
    VARIANT *v = &index;
    if (V_VT(v) == (VT_VARIANT | VT_BYREF)) {
        v = V_VARIANTREF(v);
        if (!v)
            return false;
    }
    switch (V_VT(v)) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UINT:
        break;
    default:
        return false;
    }
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, v, 0, VT_I4)))
        return false;
    value = V_I4(&converted);
    return true;
}

} // namespace

CShellWindows::~CShellWindows()
{
    m_events.Clear();
    m_items.clear();
    if (m_tracker) {
        m_tracker->Unlisten(this);
        m_tracker->ReleaseUse();
    }
}

HRESULT STDMETHODCALLTYPE CShellWindows::QueryInterface(REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IShellWindows)) {
        *ppv = static_cast<IShellWindows *>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *ppv = static_cast<IConnectionPointContainer *>(this);
    } else {
        ProviderTrace("ShellWindows(%08lX)::QueryInterface(%s): no such interface", TraceId(this),
                      IidText(iid).c_str());
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CShellWindows::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }

ULONG STDMETHODCALLTYPE CShellWindows::Release()
{
    const LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

// What is new since the tracker's last look is told to the collections
// listening before this one; this one counts it among its first items.
bool CShellWindows::Track()
{
    if (m_tracker)
        return true;
    m_tracker = CWindowTracker::Acquire();
    if (!m_tracker)
        return false;
    m_tracker->Refresh();
    m_tracker->Listen(this);
    return true;
}

HRESULT CShellWindows::Recount()
{
    if (!Track())
        return E_OUTOFMEMORY;
    m_tracker->Refresh();
    m_items = m_tracker->Shown();
    m_counted = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CShellWindows::get_Count(LONG *count)
{
    const HRESULT hr = count ? Recount() : E_INVALIDARG;
    const LONG n = SUCCEEDED(hr) ? static_cast<LONG>(m_items.size()) : 0;
    ProviderTrace("ShellWindows(%08lX)::get_Count() -> %ld", TraceId(this), n);
    if (count)
        *count = n;
    return hr;
}

HRESULT STDMETHODCALLTYPE CShellWindows::Item(VARIANT index, IDispatch **folder)
{
    LONG i = 0;
    const bool integer = IndexOf(index, i);
    ProviderTrace("ShellWindows(%08lX)::Item(%ld)%s", TraceId(this), i, integer ? "" : ": not an integer index");
    if (!folder)
        return E_INVALIDARG;
    *folder = nullptr;
    if (!integer)
        return E_INVALIDARG;
    if (!m_counted) {
        const HRESULT hr = Recount();
        if (FAILED(hr))
            return hr;
    }
    if (i < 0 || static_cast<size_t>(i) >= m_items.size()) {
        ProviderTrace("ShellWindows(%08lX)::Item(%ld): out of range", TraceId(this), i);
        return S_FALSE;
    }
    *folder = static_cast<IWebBrowser2 *>(m_items[static_cast<size_t>(i)].Get());
    (*folder)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CShellWindows::_NewEnum(IUnknown **ppunk)
{
    ProviderTrace("ShellWindows(%08lX)::_NewEnum()", TraceId(this));
    if (!ppunk)
        return E_INVALIDARG;
    *ppunk = nullptr;
    HRESULT hr = Recount();
    if (FAILED(hr))
        return hr;
    IEnumVARIANT *e = nullptr;
    hr = CreateWindowEnum(m_items, &e);
    *ppunk = e;
    return hr;
}

HRESULT CShellWindows::Server(CComPtr<IShellWindows> &server)
{
    if (!m_server) {
        const COutgoingCall call;
        const HRESULT hr = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                            m_server.ReceiveVoid());
        if (FAILED(hr)) {
            ProviderTrace("ShellWindows(%08lX): no window server of the platform, 0x%08lX", TraceId(this), hr);
            m_server.Release();
            return hr;
        }
    }
    server = m_server;
    return S_OK;
}

#define FORWARD_TO_SERVER(call)                                                                                        \
    do {                                                                                                               \
        CComPtr<IShellWindows> server;                                                                                 \
        const HRESULT hr = Server(server);                                                                             \
        if (FAILED(hr))                                                                                                \
            return hr;                                                                                                 \
        const COutgoingCall outgoing;                                                                                  \
        return server->call;                                                                                           \
    } while (false)

HRESULT STDMETHODCALLTYPE CShellWindows::Register(IDispatch *pid, LONG hwnd, int swClass, LONG *cookie)
{
    ProviderTrace("ShellWindows(%08lX)::Register(%08lX, %d)", TraceId(this), hwnd, swClass);
    FORWARD_TO_SERVER(Register(pid, hwnd, swClass, cookie));
}

HRESULT STDMETHODCALLTYPE CShellWindows::RegisterPending(LONG threadId, VARIANT *loc, VARIANT *locRoot, int swClass,
                                                         LONG *cookie)
{
    ProviderTrace("ShellWindows(%08lX)::RegisterPending(%ld, %d)", TraceId(this), threadId, swClass);
    FORWARD_TO_SERVER(RegisterPending(threadId, loc, locRoot, swClass, cookie));
}

HRESULT STDMETHODCALLTYPE CShellWindows::Revoke(LONG cookie)
{
    ProviderTrace("ShellWindows(%08lX)::Revoke(%ld)", TraceId(this), cookie);
    FORWARD_TO_SERVER(Revoke(cookie));
}

HRESULT STDMETHODCALLTYPE CShellWindows::OnNavigate(LONG cookie, VARIANT *loc)
{
    ProviderTrace("ShellWindows(%08lX)::OnNavigate(%ld)", TraceId(this), cookie);
    FORWARD_TO_SERVER(OnNavigate(cookie, loc));
}

HRESULT STDMETHODCALLTYPE CShellWindows::OnActivated(LONG cookie, VARIANT_BOOL active)
{
    ProviderTrace("ShellWindows(%08lX)::OnActivated(%ld, %d)", TraceId(this), cookie, active);
    FORWARD_TO_SERVER(OnActivated(cookie, active));
}

HRESULT STDMETHODCALLTYPE CShellWindows::FindWindowSW(VARIANT *loc, VARIANT *locRoot, int swClass, LONG *hwnd,
                                                      int options, IDispatch **ppdispOut)
{
    ProviderTrace("ShellWindows(%08lX)::FindWindowSW(%d, %d)", TraceId(this), swClass, options);
    FORWARD_TO_SERVER(FindWindowSW(loc, locRoot, swClass, hwnd, options, ppdispOut));
}

HRESULT STDMETHODCALLTYPE CShellWindows::OnCreated(LONG cookie, IUnknown *punk)
{
    ProviderTrace("ShellWindows(%08lX)::OnCreated(%ld)", TraceId(this), cookie);
    FORWARD_TO_SERVER(OnCreated(cookie, punk));
}

HRESULT STDMETHODCALLTYPE CShellWindows::ProcessAttachDetach(VARIANT_BOOL attach)
{
    ProviderTrace("ShellWindows(%08lX)::ProcessAttachDetach(%d)", TraceId(this), attach);
    FORWARD_TO_SERVER(ProcessAttachDetach(attach));
}

#undef FORWARD_TO_SERVER

HRESULT STDMETHODCALLTYPE CShellWindows::EnumConnectionPoints(IEnumConnectionPoints **ppEnum)
{
    ProviderTrace("ShellWindows(%08lX)::EnumConnectionPoints(): not implemented", TraceId(this));
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CShellWindows::FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp)
{
    ProviderTrace("ShellWindows(%08lX)::FindConnectionPoint(%s)", TraceId(this), IidText(iid).c_str());
    // Events come from the tracker, which this collection reaches now.
    const HRESULT hr = m_events.Find(iid, ppcp);
    if (SUCCEEDED(hr) && !Track()) {
        (*ppcp)->Release();
        *ppcp = nullptr;
        return E_OUTOFMEMORY;
    }
    return hr;
}

void CShellWindows::FireWindowEvent(DISPID id, LONG cookie)
{
    ProviderTrace("ShellWindows(%08lX) fires %s(%ld)", TraceId(this),
                  id == DISPID_WINDOWREGISTERED ? "WindowRegistered" : "WindowRevoked", cookie);
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = cookie;
    m_events.Fire(id, &arg, 1);
}
