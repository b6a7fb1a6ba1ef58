// shell_windows.cpp - CShellWindows (see shell_windows.h).
#include "shell_windows.h"

#include "window_enum.h"
#include "window_tracker.h"

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
    if (!count)
        return E_INVALIDARG;
    *count = 0;
    const HRESULT hr = Recount();
    if (SUCCEEDED(hr))
        *count = static_cast<LONG>(m_items.size());
    return hr;
}

HRESULT STDMETHODCALLTYPE CShellWindows::Item(VARIANT index, IDispatch **folder)
{
    if (!folder)
        return E_INVALIDARG;
    *folder = nullptr;
    LONG i = 0;
    if (!IndexOf(index, i))
        return E_INVALIDARG;
    if (!m_counted) {
        const HRESULT hr = Recount();
        if (FAILED(hr))
            return hr;
    }
    if (i < 0 || static_cast<size_t>(i) >= m_items.size())
        return S_FALSE;
    *folder = static_cast<IWebBrowser2 *>(m_items[static_cast<size_t>(i)].Get());
    (*folder)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CShellWindows::_NewEnum(IUnknown **ppunk)
{
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
    FORWARD_TO_SERVER(Register(pid, hwnd, swClass, cookie));
}

HRESULT STDMETHODCALLTYPE CShellWindows::RegisterPending(LONG threadId, VARIANT *loc, VARIANT *locRoot, int swClass,
                                                         LONG *cookie)
{
    FORWARD_TO_SERVER(RegisterPending(threadId, loc, locRoot, swClass, cookie));
}

HRESULT STDMETHODCALLTYPE CShellWindows::Revoke(LONG cookie) { FORWARD_TO_SERVER(Revoke(cookie)); }

HRESULT STDMETHODCALLTYPE CShellWindows::OnNavigate(LONG cookie, VARIANT *loc)
{
    FORWARD_TO_SERVER(OnNavigate(cookie, loc));
}

HRESULT STDMETHODCALLTYPE CShellWindows::OnActivated(LONG cookie, VARIANT_BOOL active)
{
    FORWARD_TO_SERVER(OnActivated(cookie, active));
}

HRESULT STDMETHODCALLTYPE CShellWindows::FindWindowSW(VARIANT *loc, VARIANT *locRoot, int swClass, LONG *hwnd,
                                                      int options, IDispatch **ppdispOut)
{
    FORWARD_TO_SERVER(FindWindowSW(loc, locRoot, swClass, hwnd, options, ppdispOut));
}

HRESULT STDMETHODCALLTYPE CShellWindows::OnCreated(LONG cookie, IUnknown *punk)
{
    FORWARD_TO_SERVER(OnCreated(cookie, punk));
}

HRESULT STDMETHODCALLTYPE CShellWindows::ProcessAttachDetach(VARIANT_BOOL attach)
{
    FORWARD_TO_SERVER(ProcessAttachDetach(attach));
}

#undef FORWARD_TO_SERVER

HRESULT STDMETHODCALLTYPE CShellWindows::EnumConnectionPoints(IEnumConnectionPoints **ppEnum)
{
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CShellWindows::FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp)
{
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
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = cookie;
    m_events.Fire(id, &arg, 1);
}
