// browser.h - CBrowser, the browser object of one top-level window of the
// platform's file manager, as it can be seen and driven from outside the
// window's process.
//
// Real: the window handle, its title as the location's name, a drive root
// shown in the title as the location's URL, visibility, position and size,
// the program behind it, Quit (WM_CLOSE), and the events DocumentComplete,
// WindowClosing and OnQuit, which the window tracker raises (see there). Everything that
// would need the inside of the file manager (navigation, the document, the
// shell browser and view, the browser bars) answers E_NOTIMPL or
// E_NOINTERFACE.
//
// Lifetime: the window tracker holds one reference for as long as the
// window lives and counts the browser as a use of itself while anybody
// else holds one too; once the window is gone the tracker lets go and the
// object is an ordinary COM object.
#pragma once

#include "automation.h"
#include "event_source.h"
#include "module.h"
#include "web_browser_stub.h"

#include <string>

class CWindowTracker;

// A top-level window of one of the file manager classes counted here.
bool IsFileManagerWindow(HWND hwnd);

class CBrowser final : public CDualDispatch<CWebBrowser2Stub, IID_IWebBrowser2>,
                       public IConnectionPointContainer,
                       private CProviderObject {
public:
    CBrowser(HWND hwnd, LONG cookie);
    ~CBrowser();
    CBrowser(const CBrowser &) = delete;
    CBrowser &operator=(const CBrowser &) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IWebBrowser2, what can be done from outside the window's process.
    HRESULT STDMETHODCALLTYPE get_Application(IDispatch **ppDisp) override;
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch **ppDisp) override;
    HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL *pBool) override;
    HRESULT STDMETHODCALLTYPE get_Left(LONG *pl) override;
    HRESULT STDMETHODCALLTYPE put_Left(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Top(LONG *pl) override;
    HRESULT STDMETHODCALLTYPE put_Top(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG *pl) override;
    HRESULT STDMETHODCALLTYPE put_Width(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG *pl) override;
    HRESULT STDMETHODCALLTYPE put_Height(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR *name) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR *url) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL *pBool) override;
    HRESULT STDMETHODCALLTYPE Quit() override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR *pHWND) override;
    HRESULT STDMETHODCALLTYPE get_FullName(BSTR *fullName) override;
    HRESULT STDMETHODCALLTYPE get_Path(BSTR *path) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL *pBool) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE *state) override;
    // IConnectionPointContainer: DWebBrowserEvents2.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints **ppEnum) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp) override;

    // The tracker's side.
    HWND Hwnd() const { return m_hwnd; }
    LONG Cookie() const { return m_cookie; }
    // The same window still: its handle names a window of the same process
    // and of a file manager class.
    bool WindowLives() const;
    // The folder view the window shows now (a new one after each navigation).
    HWND CurrentView() const;
    HWND ReportedView() const { return m_reportedView; }
    void SetReportedView(HWND view) { m_reportedView = view; }
    void SetTracker(CWindowTracker *tracker) { m_tracker = tracker; }
    // Somebody besides the tracker holds the object.
    bool HeldElsewhere() const { return m_cRef >= 2; }
    // True the first time only: the window's close is seen.
    bool NoteClosing()
    {
        const bool first = !m_closingReported;
        m_closingReported = true;
        return first;
    }
    void FireDocumentComplete();
    void FireWindowClosing();
    void FireOnQuit();

private:
    enum class Edge { Left, Top, Width, Height };
    HRESULT GetEdge(Edge edge, LONG *value) const;
    // Traced: what a member answers for a window that is gone.
    HRESULT WindowGone() const;
    // The stub's members: traced as not implemented.
    HRESULT Unsupported(const char *member) override;
    HRESULT PutEdge(Edge edge, LONG value);
    std::wstring Title() const;
    std::wstring ProgramPath() const;

    volatile LONG m_cRef = 0;
    HWND m_hwnd;
    DWORD m_pid = 0;
    LONG m_cookie;
    CWindowTracker *m_tracker = nullptr;
    HWND m_reportedView = nullptr;
    bool m_closingReported = false;
    CEventSource m_events{this, DIID_DWebBrowserEvents2};
};
