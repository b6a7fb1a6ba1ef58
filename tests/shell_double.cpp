// shell_double.cpp - the test's shell window collection, fake browsers and
// their event sources (see shell_double.h).
#include "shell_double.h"
#include "win/shell_owners.h"

#include <exdispid.h>

#include <algorithm>
#include <cctype>

namespace shell_double {

namespace {

struct FakeClass {
    int windows = 0;
};
std::map<std::string, FakeClass> g_classes; // by lower-case name

std::string Lower(const char *text)
{
    std::string s = text;
    for (char &c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string GuidText(REFGUID guid)
{
    wchar_t wide[64] = {};
    StringFromGUID2(guid, wide, 64);
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

} // namespace

HWND CreateFakeWindow(const char *cls, const char *title)
{
    FakeClass &c = g_classes[Lower(cls)];
    if (c.windows == 0) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = cls;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassA(&wc);
    }
    HWND hwnd = CreateWindowExA(0, cls, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (hwnd)
        ++c.windows;
    return hwnd;
}

void DestroyFakeWindow(HWND hwnd, const char *cls)
{
    if (!IsWindow(hwnd))
        return;
    DestroyWindow(hwnd);
    FakeClass &c = g_classes[Lower(cls)];
    if (--c.windows == 0)
        UnregisterClassA(cls, GetModuleHandleA(nullptr));
}

// ---- CFakeConnectionPoint

HRESULT STDMETHODCALLTYPE CFakeConnectionPoint::Advise(IUnknown *sink, DWORD *cookie)
{
    IDispatch *disp = nullptr;
    // A sink must answer the event interface itself.
    if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void **>(&disp))) || !disp)
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_nextCookie++;
    m_sinks[*cookie] = disp;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeConnectionPoint::Unadvise(DWORD cookie)
{
    const auto it = m_sinks.find(cookie);
    if (it == m_sinks.end())
        return CONNECT_E_NOCONNECTION;
    IDispatch *disp = it->second;
    m_sinks.erase(it);
    disp->Release();
    return S_OK;
}

HRESULT CFakeConnectionPoint::Find(REFIID iid, IConnectionPoint **ppcp)
{
    if (!IsEqualIID(iid, m_iid)) {
        *ppcp = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *ppcp = this;
    AddRef();
    return S_OK;
}

void CFakeConnectionPoint::Fire(DISPID id, std::vector<VARIANT> args)
{
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    std::vector<IDispatch *> sinks;
    for (const auto &entry : m_sinks) {
        entry.second->AddRef();
        sinks.push_back(entry.second);
    }
    for (IDispatch *sink : sinks) {
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        sink->Release();
    }
}

// ---- shell view and browser

HRESULT STDMETHODCALLTYPE CFakeShellView::SelectItem(PCUITEMID_CHILD pidl, SVSIF flags)
{
    const UINT size = pidl ? ILGetSize(pidl) : 0;
    m_selected.emplace_back(reinterpret_cast<const char *>(pidl), size);
    m_selectFlags.push_back(flags);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeShellBrowser::BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags)
{
    char path[MAX_PATH] = {};
    std::string where = "?";
    LPITEMIDLIST drives = nullptr;
    if (SHGetPathFromIDListA(static_cast<PCIDLIST_ABSOLUTE>(pidl), path) && path[0]) {
        where = path;
    } else if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives)) && drives) {
        if (ILIsEqual(static_cast<PCIDLIST_ABSOLUTE>(pidl), drives))
            where = "::drives";
        ILFree(drives);
    }
    m_browsed.push_back(where);
    m_browseFlags.push_back(flags);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeShellBrowser::QueryActiveShellView(IShellView **ppshv)
{
    *ppshv = &m_view;
    m_view.AddRef();
    return S_OK;
}

// ---- CFakeBrowser

CFakeBrowser::CFakeBrowser(const char *cls, const char *title) : m_class(cls) { m_hwnd = CreateFakeWindow(cls, title); }

CFakeBrowser::~CFakeBrowser() { DestroyFakeWindow(m_hwnd, m_class.c_str()); }

HRESULT STDMETHODCALLTYPE CFakeBrowser::QueryInterface(REFIID iid, void **ppv)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser) ||
        IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser2)) {
        *ppv = static_cast<IWebBrowser2 *>(this);
    } else if (IsEqualIID(iid, IID_IServiceProvider)) {
        *ppv = static_cast<IServiceProvider *>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *ppv = static_cast<IConnectionPointContainer *>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::Quit()
{
    ++m_nQuit;
    m_events.Fire(DISPID_ONQUIT, {});
    DestroyFakeWindow(m_hwnd, m_class.c_str());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::get_HWND(SHANDLE_PTR *pHWND)
{
    *pHWND = 0;
    if (m_noHwnd)
        return E_FAIL;
    *pHWND = reinterpret_cast<SHANDLE_PTR>(m_hwnd);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::ShowBrowserBar(VARIANT *clsid, VARIANT *show, VARIANT *size)
{
    std::string call = "?";
    if (clsid && V_VT(clsid) == VT_BSTR) {
        char text[64] = {};
        WideCharToMultiByte(CP_ACP, 0, V_BSTR(clsid), -1, text, sizeof text - 1, nullptr, nullptr);
        call = text;
    }
    call += show && V_VT(show) == VT_BOOL ? (V_BOOL(show) ? ",TRUE" : ",FALSE") : ",?";
    call += size && V_VT(size) == VT_EMPTY ? ",empty" : ",?";
    m_barCalls.push_back(call);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::get_Document(IDispatch **ppDisp)
{
    *ppDisp = m_document;
    if (!m_document)
        return E_FAIL;
    m_document->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::get_LocationName(BSTR *name)
{
    wchar_t title[MAX_PATH] = {};
    GetWindowTextW(m_hwnd, title, MAX_PATH);
    *name = SysAllocString(title);
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::get_LocationURL(BSTR *url)
{
    *url = SysAllocString(m_url.c_str());
    return *url ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::QueryService(REFGUID service, REFIID iid, void **ppv)
{
    m_services.push_back(GuidText(service));
    return m_shellBrowser.QueryInterface(iid, ppv);
}

HRESULT STDMETHODCALLTYPE CFakeBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp)
{
    return m_events.Find(iid, ppcp);
}

void CFakeBrowser::CloseByUser()
{
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT cancelRef;
    VariantInit(&cancelRef);
    V_VT(&cancelRef) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&cancelRef) = &cancel;
    m_events.Fire(DISPID_WINDOWCLOSING, {CVariant::Bool(false).Value(), cancelRef});
    m_events.Fire(DISPID_ONQUIT, {});
    DestroyFakeWindow(m_hwnd, m_class.c_str());
}

void CFakeBrowser::CompleteDocument(bool frame, const wchar_t *url)
{
    VARIANT disp;
    VariantInit(&disp);
    V_VT(&disp) = VT_DISPATCH;
    V_DISPATCH(&disp) = frame ? static_cast<IDispatch *>(&m_frame) : AsDispatch();
    VARIANT urlText;
    VariantInit(&urlText);
    V_VT(&urlText) = VT_BSTR;
    V_BSTR(&urlText) = SysAllocString(url);
    VARIANT urlRef;
    VariantInit(&urlRef);
    V_VT(&urlRef) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&urlRef) = &urlText;
    m_events.Fire(DISPID_DOCUMENTCOMPLETE, {disp, urlRef});
    VariantClear(&urlText);
}

// ---- CFakeShellWindows

CFakeShellWindows::CFakeShellWindows()
{
    CoRegisterClassObject(CLSID_ShellWindows, static_cast<IClassFactory *>(this), CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &m_dwClassCookie);
}

CFakeShellWindows::~CFakeShellWindows()
{
    if (m_dwClassCookie)
        CoRevokeClassObject(m_dwClassCookie);
}

HRESULT STDMETHODCALLTYPE CFakeShellWindows::QueryInterface(REFIID iid, void **ppv)
{
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IShellWindows)) {
        *ppv = static_cast<IShellWindows *>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *ppv = static_cast<IConnectionPointContainer *>(this);
    } else if (IsEqualIID(iid, IID_IClassFactory)) {
        *ppv = static_cast<IClassFactory *>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeShellWindows::get_Count(LONG *count)
{
    *count = static_cast<LONG>(m_items.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeShellWindows::Item(VARIANT index, IDispatch **folder)
{
    *folder = nullptr;
    if (V_VT(&index) != VT_I4 || V_I4(&index) < 0 || static_cast<size_t>(V_I4(&index)) >= m_items.size())
        return S_FALSE;
    *folder = m_items[static_cast<size_t>(V_I4(&index))];
    (*folder)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CFakeShellWindows::FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp)
{
    return m_events.Find(iid, ppcp);
}

HRESULT STDMETHODCALLTYPE CFakeShellWindows::CreateInstance(IUnknown *outer, REFIID iid, void **ppv)
{
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return QueryInterface(iid, ppv);
}

CFakeBrowser *CFakeShellWindows::Open(const char *cls, const char *title, bool silent, bool noHwnd)
{
    m_browsers.push_back(std::make_unique<CFakeBrowser>(cls, title));
    CFakeBrowser *b = m_browsers.back().get();
    b->m_noHwnd = noHwnd;
    m_items.push_back(b->AsDispatch());
    if (!silent)
        AnnounceRegistration();
    return b;
}

void CFakeShellWindows::AnnounceRegistration()
{
    m_events.Fire(DISPID_WINDOWREGISTERED, {CVariant(static_cast<LONG>(m_items.size())).Value()});
}

void CFakeShellWindows::Close(CFakeBrowser *b)
{
    b->CloseByUser();
    m_items.erase(std::remove(m_items.begin(), m_items.end(), b->AsDispatch()), m_items.end());
    m_events.Fire(DISPID_WINDOWREVOKED, {CVariant(0L).Value()});
}

std::vector<CFakeBrowser *> CFakeShellWindows::OpenBrowsers() const
{
    std::vector<CFakeBrowser *> open;
    for (const auto &b : m_browsers)
        if (IsWindow(b->Hwnd()))
            open.push_back(b.get());
    return open;
}

} // namespace shell_double
