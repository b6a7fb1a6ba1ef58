// shell_double.h - a shell window collection of the test's own, standing in
// for the system's while a test runs: a class object for CLSID_ShellWindows
// registered in this process (CoCreateInstance finds it before any server),
// fake browsers each with a real top-level window, a shell browser and view
// that record what they are asked, and the two event sources.
//
// Every fake lives as long as the double; reference counts are counters the
// tests read to see that the code under test let go of what it took. All of
// it runs on the thread that created the double (a single-threaded
// apartment).
#pragma once

#include "shell_com_stubs.h"

#include <windows.h>
#include <exdisp.h>
#include <shlobj.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace shell_double {

// IDispatch's own members, which the code under test never calls.
template <typename Base> class CNoTypeInfo : public Base {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }
};

// A fake that is one interface I and nothing else: QueryInterface answers
// IUnknown and the interface ids it is made with (I's own and its bases'),
// AddRef and Release only count.
template <typename I> class CCountedFake : public I {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override
    {
        for (const IID &answered : m_iids) {
            if (IsEqualIID(iid, answered)) {
                *ppv = static_cast<I *>(this);
                AddRef();
                return S_OK;
            }
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }

    ULONG m_cRef = 0;

protected:
    explicit CCountedFake(std::initializer_list<IID> iids) : m_iids(iids) { m_iids.push_back(IID_IUnknown); }

private:
    std::vector<IID> m_iids;
};

// One connection point: the sinks of one event interface.
class CFakeConnectionPoint : public CCountedFake<IConnectionPoint> {
public:
    explicit CFakeConnectionPoint(REFIID iid) : CCountedFake({IID_IConnectionPoint}), m_iid(iid) {}
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown *sink, DWORD *cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections **) override { return E_NOTIMPL; }

    // Invokes id on every sink; args in the order of the event's parameters.
    void Fire(DISPID id, std::vector<VARIANT> args);
    size_t SinkCount() const { return m_sinks.size(); }
    // FindConnectionPoint of its container.
    HRESULT Find(REFIID iid, IConnectionPoint **ppcp);

private:
    IID m_iid;
    DWORD m_nextCookie = 1;
    std::map<DWORD, IDispatch *> m_sinks;
};

class CFakeShellView : public CCountedFake<CShellViewStub> {
public:
    CFakeShellView() : CCountedFake({IID_IShellView, IID_IOleWindow}) {}
    HRESULT STDMETHODCALLTYPE SelectItem(PCUITEMID_CHILD pidl, SVSIF flags) override;

    // The items selected: their single identifiers' bytes, and the flags.
    std::vector<std::string> m_selected;
    std::vector<UINT> m_selectFlags;
};

class CFakeShellBrowser : public CCountedFake<CShellBrowserStub> {
public:
    CFakeShellBrowser() : CCountedFake({IID_IShellBrowser, IID_IOleWindow}) {}
    HRESULT STDMETHODCALLTYPE BrowseObject(PCUIDLIST_RELATIVE pidl, UINT flags) override;
    HRESULT STDMETHODCALLTYPE QueryActiveShellView(IShellView **ppshv) override;

    // The folders browsed to: file-system path, or "::drives" for the
    // computer's folder of drives, and the flags.
    std::vector<std::string> m_browsed;
    std::vector<UINT> m_browseFlags;
    CFakeShellView m_view;
};

// A frame's document object: another object than the browser.
class CFakeFrame : public CCountedFake<CNoTypeInfo<IDispatch>> {
public:
    CFakeFrame() : CCountedFake({IID_IDispatch}) {}
};

class CFakeBrowser : public CNoTypeInfo<CWebBrowser2Stub>, public IServiceProvider, public IConnectionPointContainer {
public:
    // A visible top-level window of class cls with the given title.
    CFakeBrowser(const char *cls, const char *title);
    ~CFakeBrowser();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }
    // IWebBrowser2, the members the dialog calls.
    HRESULT STDMETHODCALLTYPE Quit() override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR *pHWND) override;
    HRESULT STDMETHODCALLTYPE ShowBrowserBar(VARIANT *clsid, VARIANT *show, VARIANT *size) override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch **ppDisp) override;
    // The window's title, and m_url.
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR *url) override;
    // IServiceProvider
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void **ppv) override;
    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp) override;

    IDispatch *AsDispatch() { return static_cast<IWebBrowser2 *>(this); }
    HWND Hwnd() const { return m_hwnd; }
    // The user closes the window: WindowClosing, OnQuit, then the window goes.
    void CloseByUser();
    // DocumentComplete for the browser itself (frame false) or a frame.
    void CompleteDocument(bool frame, const wchar_t *url);

    ULONG m_cRef = 0;
    int m_nQuit = 0;
    bool m_noHwnd = false;               // get_HWND fails
    std::vector<std::string> m_barCalls; // "<clsid>,<show>"
    std::vector<std::string> m_services; // services asked for, as GUID text
    IDispatch *m_document = nullptr;     // what get_Document answers
    std::wstring m_url;                  // what get_LocationURL answers (empty: a location it cannot tell)
    CFakeShellBrowser m_shellBrowser;
    CFakeFrame m_frame;
    CFakeConnectionPoint m_events{DIID_DWebBrowserEvents2};

private:
    HWND m_hwnd = nullptr;
    std::string m_class;
};

class CFakeShellWindows : public CNoTypeInfo<CShellWindowsStub>,
                          public IConnectionPointContainer,
                          public IClassFactory {
public:
    CFakeShellWindows();
    ~CFakeShellWindows();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_cRef; }
    HRESULT STDMETHODCALLTYPE get_Count(LONG *count) override;
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch **folder) override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp) override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **ppv) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    // A window opens and registers with the collection (WindowRegistered
    // goes to the connected sinks unless silent).
    // noHwnd: its get_HWND fails.
    CFakeBrowser *Open(const char *cls, const char *title, bool silent = false, bool noHwnd = false);
    // WindowRegistered to the sinks without a new item (a window that
    // registered and went again, or one the snapshot already holds).
    void AnnounceRegistration();
    // The user closes the window of b; it leaves the collection.
    void Close(CFakeBrowser *b);
    // Windows that are still open, oldest first.
    std::vector<CFakeBrowser *> OpenBrowsers() const;

    ULONG m_cRef = 0;
    CFakeConnectionPoint m_events{DIID_DShellWindowsEvents};

private:
    DWORD m_dwClassCookie = 0;
    std::vector<std::unique_ptr<CFakeBrowser>> m_browsers; // every one made, for the test's checks
    std::vector<IDispatch *> m_items;                      // the collection
};

// The class of a fake window: registered on first use, unregistered when
// its last window goes (so that a later spelling of the same name in other
// letter case makes a new class name).
HWND CreateFakeWindow(const char *cls, const char *title);
void DestroyFakeWindow(HWND hwnd, const char *cls);

} // namespace shell_double
