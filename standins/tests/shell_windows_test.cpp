// The shell-window provider on its own, through COM as any program reaches
// it: the collection and its items follow real top-level windows of the file
// manager's class as they open, show a folder view and close; events come
// from the message loop, once each; bad indexes and what cannot be done
// from outside the window's process answer their codes; the members that
// belong to Wine's own window server answer what it answers; registration
// keeps Wine's entry and puts it back.
#include "trace_monitor.h"
#include "ui_support.h"
#include "win/com_ptr.h"
#include "win/handles.h"
#include "win/shell_owners.h"

#include <gtest/gtest.h>

#include <exdisp.h>
#include <exdispid.h>
#include <olectl.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

const char kServerKey[] = "Software\\Classes\\CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\InprocServer32";
const char kKeptKey[] = "Software\\SefraStandins\\ShellWindows";

bool PumpUntil(const std::function<bool()> &done, int rounds = 1000)
{
    for (int i = 0; i < rounds; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

// Runs the loop for a few of the provider's ticks.
void PumpSomeTicks()
{
    PumpUntil([] { return false; }, 40);
}

// A top-level window of the file manager's class, shown; optionally with a
// folder view child, as the file manager shows a folder.
class CFileManagerWindow {
public:
    explicit CFileManagerWindow(const char *title)
    {
        static const ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "ExplorerWClass";
            RegisterClassA(&wc);
            wc.lpszClassName = "SHELLDLL_DefView";
            return RegisterClassA(&wc);
        }();
        (void)atom;
        m_hwnd = CreateWindowExA(0, "ExplorerWClass", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~CFileManagerWindow()
    {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }
    CFileManagerWindow(const CFileManagerWindow &) = delete;
    CFileManagerWindow &operator=(const CFileManagerWindow &) = delete;
    HWND Hwnd() const { return m_hwnd; }
    // A new folder view, as each navigation makes one.
    void ShowFolder()
    {
        if (m_view)
            DestroyWindow(m_view);
        m_view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, m_hwnd, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }

private:
    HWND m_hwnd = nullptr;
    HWND m_view = nullptr;
};

// An event sink that counts each event and keeps the last arguments.
class CSink : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override
    {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *p, VARIANT *, EXCEPINFO *,
                                     UINT *) override
    {
        ++m_count[id];
        if ((id == DISPID_WINDOWREGISTERED || id == DISPID_WINDOWREVOKED) && p->cArgs == 1)
            m_cookie[id] = V_I4(&p->rgvarg[0]);
        if (id == DISPID_DOCUMENTCOMPLETE && p->cArgs == 2) {
            m_document = V_DISPATCH(&p->rgvarg[1]);
            m_url = V_BSTR(V_VARIANTREF(&p->rgvarg[0]));
        }
        return S_OK;
    }
    int Count(DISPID id) { return m_count[id]; }

    ULONG m_cRef = 0;
    std::map<DISPID, int> m_count;
    std::map<DISPID, LONG> m_cookie;
    IDispatch *m_document = nullptr;
    std::wstring m_url;
};

// A text property of the browser, or "(failed)".
std::wstring TextOf(IWebBrowser2 *browser, HRESULT (STDMETHODCALLTYPE IWebBrowser2::*get)(BSTR *))
{
    BSTR text = nullptr;
    const HRESULT hr = (browser->*get)(&text);
    std::wstring s = SUCCEEDED(hr) && text ? text : L"(failed)";
    SysFreeString(text);
    return s;
}

class ShellWindowsProvider : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                         m_windows.ReceiveVoid()));
        m_module = GetModuleHandleA("ShellWindowsStandin.dll");
        ASSERT_TRUE(m_module) << "CLSID_ShellWindows is not the provider in this prefix";
    }
    void TearDown() override
    {
        m_windows.Release();
        using CanUnloadFn = HRESULT(STDAPICALLTYPE *)();
        auto canUnload = reinterpret_cast<CanUnloadFn>(GetProcAddress(m_module, "DllCanUnloadNow"));
        PumpSomeTicks();
        EXPECT_EQ(S_OK, canUnload()) << "an object of the provider, or its window tracker, is still alive";
        CoUninitialize();
    }
    LONG Count()
    {
        LONG n = -1;
        EXPECT_EQ(S_OK, m_windows->get_Count(&n));
        return n;
    }
    CComPtr<IWebBrowser2> BrowserAt(IShellWindows *windows, LONG i)
    {
        CComPtr<IDispatch> item;
        CComPtr<IWebBrowser2> browser;
        if (windows->Item(CVariant(i).Value(), item.Receive()) == S_OK && item)
            item.QueryTo(IID_IWebBrowser2, browser);
        return browser;
    }

    CComPtr<IShellWindows> m_windows;
    HMODULE m_module = nullptr;
};

HRESULT Advise(IUnknown *source, REFIID iid, CSink &sink, DWORD &cookie)
{
    CComPtr<IConnectionPointContainer> container;
    CComPtr<IConnectionPoint> point;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
    if (SUCCEEDED(hr))
        hr = container->FindConnectionPoint(iid, point.Receive());
    return SUCCEEDED(hr) ? point->Advise(&sink, &cookie) : hr;
}

TEST_F(ShellWindowsProvider, ItemsFollowTheWindowsAndEachEventComesOnceFromTheLoop)
{
    CFileManagerWindow older("Older");
    const LONG before = Count();
    CSink events;
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, Advise(m_windows.Get(), DIID_DShellWindowsEvents, events, cookie));

    // A new window counts at once; its registration comes from the loop.
    CFileManagerWindow data("Data (Q:)");
    ASSERT_EQ(before + 1, Count());
    EXPECT_EQ(0, events.Count(DISPID_WINDOWREGISTERED));
    ASSERT_TRUE(PumpUntil([&] { return events.Count(DISPID_WINDOWREGISTERED) == 1; }));
    CComPtr<IWebBrowser2> browser = BrowserAt(m_windows.Get(), before);
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser.Get(), BrowserAt(m_windows.Get(), before).Get()) << "one object per window";
    {
        CComPtr<IShellWindows> other;
        ASSERT_EQ(S_OK,
                  CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, other.ReceiveVoid()));
        LONG n = 0;
        other->get_Count(&n);
        EXPECT_EQ(browser.Get(), BrowserAt(other.Get(), n - 1).Get()) << "one object per window";
    }
    SHANDLE_PTR hwnd = 0;
    EXPECT_EQ(S_OK, browser->get_HWND(&hwnd));
    EXPECT_EQ(data.Hwnd(), reinterpret_cast<HWND>(hwnd));
    EXPECT_EQ(L"file:///Q:/", TextOf(browser.Get(), &IWebBrowser2::get_LocationURL));
    EXPECT_EQ(L"Data (Q:)", TextOf(browser.Get(), &IWebBrowser2::get_LocationName));

    // The window shows a folder: DocumentComplete with the object itself.
    CSink browserEvents;
    DWORD browserCookie = 0;
    ASSERT_EQ(S_OK, Advise(browser.Get(), DIID_DWebBrowserEvents2, browserEvents, browserCookie));
    data.ShowFolder();
    ASSERT_TRUE(PumpUntil([&] { return browserEvents.Count(DISPID_DOCUMENTCOMPLETE) == 1; }));
    EXPECT_EQ(static_cast<IDispatch *>(browser.Get()), browserEvents.m_document);
    EXPECT_EQ(L"file:///Q:/", browserEvents.m_url);
    data.ShowFolder();
    ASSERT_TRUE(PumpUntil([&] { return browserEvents.Count(DISPID_DOCUMENTCOMPLETE) == 2; }));

    // Quit closes it as its close box would; then closing, quit, revoked,
    // once each, and the count is back.
    ASSERT_EQ(S_OK, browser->Quit());
    ASSERT_TRUE(PumpUntil([&] { return events.Count(DISPID_WINDOWREVOKED) == 1; }));
    PumpSomeTicks();
    EXPECT_FALSE(IsWindow(data.Hwnd()));
    EXPECT_EQ(1, browserEvents.Count(DISPID_WINDOWCLOSING));
    EXPECT_EQ(1, browserEvents.Count(DISPID_ONQUIT));
    EXPECT_EQ(1, events.Count(DISPID_WINDOWREVOKED));
    EXPECT_EQ(1, events.Count(DISPID_WINDOWREGISTERED)) << "the older window registered too";
    EXPECT_EQ(events.m_cookie[DISPID_WINDOWREGISTERED], events.m_cookie[DISPID_WINDOWREVOKED]);
    EXPECT_EQ(2, browserEvents.Count(DISPID_DOCUMENTCOMPLETE));
    EXPECT_EQ(before, Count());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE), browser->get_HWND(&hwnd));

    // A window hidden while it still exists is on its way out: it leaves
    // the count and tells its sinks it is closing.
    CFileManagerWindow hidden("Hidden");
    ASSERT_EQ(before + 1, Count());
    CComPtr<IWebBrowser2> hiddenBrowser = BrowserAt(m_windows.Get(), before);
    CSink hiddenEvents;
    DWORD hiddenCookie = 0;
    ASSERT_EQ(S_OK, Advise(hiddenBrowser.Get(), DIID_DWebBrowserEvents2, hiddenEvents, hiddenCookie));
    ShowWindow(hidden.Hwnd(), SW_HIDE);
    ASSERT_TRUE(PumpUntil([&] { return hiddenEvents.Count(DISPID_WINDOWCLOSING) == 1; }));
    EXPECT_EQ(before, Count());
    EXPECT_EQ(0, hiddenEvents.Count(DISPID_ONQUIT));

    hiddenBrowser.Release();
    browser.Release();
    m_windows.Release();
    EXPECT_EQ(0u, events.m_cRef + browserEvents.m_cRef + hiddenEvents.m_cRef) << "a source keeps its sinks";
}

TEST_F(ShellWindowsProvider, BadIndexesAndWhatOnlyTheWindowsProgramCouldDoAnswerTheirCodes)
{
    CFileManagerWindow window("Window");
    const LONG n = Count();
    ASSERT_GE(n, 1);
    CComPtr<IDispatch> item;
    EXPECT_EQ(S_FALSE, m_windows->Item(CVariant(-1L).Value(), item.Receive()));
    EXPECT_FALSE(item);
    EXPECT_EQ(S_FALSE, m_windows->Item(CVariant(n).Value(), item.Receive()));
    EXPECT_FALSE(item);
    VARIANT index;
    VariantInit(&index);
    EXPECT_EQ(E_INVALIDARG, m_windows->Item(index, item.Receive()));
    V_VT(&index) = VT_R8;
    V_R8(&index) = 0.0;
    EXPECT_EQ(E_INVALIDARG, m_windows->Item(index, item.Receive()));
    V_VT(&index) = VT_BSTR;
    V_BSTR(&index) = SysAllocString(L"0");
    EXPECT_EQ(E_INVALIDARG, m_windows->Item(index, item.Receive()));
    VariantClear(&index);
    EXPECT_EQ(E_INVALIDARG, m_windows->Item(CVariant(0L).Value(), nullptr));
    EXPECT_EQ(E_INVALIDARG, m_windows->get_Count(nullptr));
    V_VT(&index) = VT_I2;
    V_I2(&index) = static_cast<SHORT>(n - 1);
    EXPECT_EQ(S_OK, m_windows->Item(index, item.Receive()));
    EXPECT_TRUE(item);

    CComPtr<IWebBrowser2> browser;
    ASSERT_EQ(S_OK, item.QueryTo(IID_IWebBrowser2, browser));
    VARIANT pane, show, size;
    VariantInit(&pane);
    VariantInit(&show);
    VariantInit(&size);
    EXPECT_EQ(E_NOTIMPL, browser->ShowBrowserBar(&pane, &show, &size));
    CComPtr<IDispatch> document;
    EXPECT_EQ(E_NOTIMPL, browser->get_Document(document.Receive()));
    CComPtr<IUnknown> none;
    EXPECT_EQ(E_NOINTERFACE, browser->QueryInterface(IID_IServiceProvider, none.ReceiveVoid()));
    EXPECT_EQ(E_NOINTERFACE, browser->QueryInterface(IID_IShellBrowser, none.ReceiveVoid()));
    EXPECT_EQ(E_NOINTERFACE, browser->QueryInterface(IID_IShellView, none.ReceiveVoid()));
    CComPtr<IConnectionPointContainer> container;
    CComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, browser.QueryTo(IID_IConnectionPointContainer, container));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(DIID_DShellWindowsEvents, point.Receive()));
    ASSERT_EQ(S_OK, container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive()));
    DWORD cookie = 0;
    EXPECT_EQ(E_POINTER, point->Advise(nullptr, &cookie));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(12345));

    // Scripts reach the collection through its type information.
    LPOLESTR name = const_cast<LPOLESTR>(L"Count");
    DISPID id = 0;
    ASSERT_EQ(S_OK, m_windows->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
    DISPPARAMS noArgs{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(S_OK, m_windows->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArgs, &result,
                                      nullptr, nullptr));
    EXPECT_EQ(n, V_I4(&result));
}

// Wine's own window server keeps the windows registered with it (the
// desktop among them); through the provider it answers the same.
TEST_F(ShellWindowsProvider, RegistrationMembersAreWinesOwnServers)
{
    CComPtr<IShellWindows> server;
    const HRESULT created =
        CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows, server.ReceiveVoid());
    auto findDesktop = [](IShellWindows *windows, LONG &hwnd) {
        VARIANT loc, root;
        VariantInit(&loc);
        VariantInit(&root);
        CComPtr<IDispatch> found;
        hwnd = 0;
        return windows->FindWindowSW(&loc, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, found.Receive());
    };
    LONG direct = 0, through = 0;
    const HRESULT viaProvider = findDesktop(m_windows.Get(), through);
    if (FAILED(created)) {
        EXPECT_EQ(created, viaProvider);
        return;
    }
    EXPECT_EQ(findDesktop(server.Get(), direct), viaProvider);
    EXPECT_EQ(direct, through);
}

std::string TraceIdOf(const void *p)
{
    char id[16] = {};
    std::snprintf(id, sizeof id, "%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(p)));
    return id;
}

// What a program asked of the provider and could not have is read from the
// debugger output alone: the window the tracker saw and its object, each
// member on entry, a member not done, an interface not had. A tick that
// finds nothing new writes nothing.
TEST_F(ShellWindowsProvider, TheTraceTellsWhatWasAskedAndWhatCouldNotBeDone)
{
    const CTraceCapture trace;
    const LONG n = Count();
    CFileManagerWindow window("Traced (T:)");
    ASSERT_EQ(n + 1, Count());
    CComPtr<IWebBrowser2> browser = BrowserAt(m_windows.Get(), n);
    ASSERT_TRUE(browser);
    CComPtr<IUnknown> none;
    EXPECT_EQ(E_NOINTERFACE, browser->QueryInterface(IID_IServiceProvider, none.ReceiveVoid()));
    EXPECT_EQ(E_NOTIMPL, browser->GoHome());

    const std::string object = "shellwindows: Browser(" + TraceIdOf(browser.Get()) + ")::";
    const std::string seen = "shellwindows: tracker: window " + TraceIdOf(window.Hwnd()) +
                             " \"Traced (T:)\" seen, Browser(" + TraceIdOf(browser.Get()) + "), cookie ";
    EXPECT_TRUE(trace.Contains(seen));
    EXPECT_TRUE(trace.Contains("shellwindows: ShellWindows(" + TraceIdOf(m_windows.Get()) + ")::Item(" +
                               std::to_string(n) + ")\n"));
    EXPECT_TRUE(trace.Contains(object + "QueryInterface(IServiceProvider): no such interface\n"));
    EXPECT_TRUE(trace.Contains(object + "GoHome(): not implemented\n"));
    PumpSomeTicks(); // the registration is delivered
    const size_t lines = trace.Lines().size();
    PumpSomeTicks();
    EXPECT_EQ(lines, trace.Lines().size());
}

struct ServerEntry {
    std::string path, model;
    bool operator==(const ServerEntry &o) const { return path == o.path && model == o.model; }
};

ServerEntry ReadEntry(const char *key, const char *pathValue)
{
    ServerEntry e;
    CRegKey k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, k.Receive()) != ERROR_SUCCESS)
        return {"(no key)", ""};
    char buffer[MAX_PATH] = {};
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(k.Get(), pathValue, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size) ==
        ERROR_SUCCESS)
        e.path = buffer;
    char model[32] = {};
    size = sizeof model - 1;
    if (RegQueryValueExA(k.Get(), "ThreadingModel", nullptr, nullptr, reinterpret_cast<BYTE *>(model), &size) ==
        ERROR_SUCCESS)
        e.model = model;
    return e;
}

TEST(ShellWindowsRegistration, KeepsWinesEntryAndPutsItBack)
{
    CModuleHandle provider(LoadLibraryA("ShellWindowsStandin.dll"));
    ASSERT_TRUE(provider);
    using RegisterFn = HRESULT(STDAPICALLTYPE *)();
    const auto reg = reinterpret_cast<RegisterFn>(GetProcAddress(provider.Get(), "DllRegisterServer"));
    const auto unreg = reinterpret_cast<RegisterFn>(GetProcAddress(provider.Get(), "DllUnregisterServer"));
    ASSERT_TRUE(reg && unreg);
    char own[MAX_PATH] = {};
    GetModuleFileNameA(provider.Get(), own, MAX_PATH);

    // Registered by the prefix script: Wine's entry is the one kept.
    ASSERT_EQ(S_OK, reg());
    const ServerEntry wines = ReadEntry(kKeptKey, "InprocServer32");
    EXPECT_NE(std::string::npos, wines.path.find("ieframe.dll")) << wines.path;
    EXPECT_EQ((ServerEntry{own, "Apartment"}), ReadEntry(kServerKey, nullptr));

    ASSERT_EQ(S_OK, unreg());
    EXPECT_EQ(wines, ReadEntry(kServerKey, nullptr));
    EXPECT_EQ("(no key)", ReadEntry(kKeptKey, "InprocServer32").path);
    ASSERT_EQ(S_OK, unreg());
    EXPECT_EQ(wines, ReadEntry(kServerKey, nullptr)) << "a second unregistration took Wine's entry away";

    // Registering twice keeps Wine's entry, not the provider's own.
    ASSERT_EQ(S_OK, reg());
    ASSERT_EQ(S_OK, reg());
    EXPECT_EQ((ServerEntry{own, "Apartment"}), ReadEntry(kServerKey, nullptr));
    EXPECT_EQ(wines, ReadEntry(kKeptKey, "InprocServer32"));
}

} // namespace
