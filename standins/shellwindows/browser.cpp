// browser.cpp - CBrowser (see browser.h).
#include "browser.h"

#include "provider_trace.h"
#include "window_tracker.h"

#include "win/handles.h"

#include <exdispid.h>

#include <cstring>

namespace {

const char *const kFileManagerClasses[] = {"ExplorerWClass", "CabinetWClass", "ExploreWClass"};
const char kFolderViewClass[] = "SHELLDLL_DefView";
const char *const kEdgeNames[] = {"Left", "Top", "Width", "Height"};

HRESULT LastErrorResult()
{
    const DWORD code = GetLastError();
    return code ? HRESULT_FROM_WIN32(code) : E_FAIL;
}

HRESULT ReturnText(const std::wstring &text, BSTR *out)
{
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

BOOL CALLBACK FindFolderView(HWND hwnd, LPARAM l)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, kFolderViewClass) != 0)
        return TRUE;
    *reinterpret_cast<HWND *>(l) = hwnd;
    return FALSE;
}

// "Label (X:)", as the file manager titles a drive's root: "file:///X:/".
std::wstring DriveRootUrl(const std::wstring &title)
{
    const size_t n = title.size();
    if (n < 4 || title[n - 4] != L'(' || title[n - 2] != L':' || title[n - 1] != L')')
        return std::wstring();
    const wchar_t letter = title[n - 3];
    if (!((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z')))
        return std::wstring();
    return std::wstring(L"file:///") + letter + L":/";
}

} // namespace

bool IsFileManagerWindow(HWND hwnd)
{
    char cls[32] = {};
    if (GetClassNameA(hwnd, cls, sizeof cls) <= 0)
        return false;
    for (const char *name : kFileManagerClasses)
        if (std::strcmp(cls, name) == 0)
            return true;
    return false;
}

CBrowser::CBrowser(HWND hwnd, LONG cookie) : m_hwnd(hwnd), m_cookie(cookie) { GetWindowThreadProcessId(hwnd, &m_pid); }

CBrowser::~CBrowser() { m_events.Clear(); }

HRESULT STDMETHODCALLTYPE CBrowser::QueryInterface(REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser) ||
        IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser2)) {
        *ppv = static_cast<IWebBrowser2 *>(this);
    } else if (IsEqualIID(iid, IID_IConnectionPointContainer)) {
        *ppv = static_cast<IConnectionPointContainer *>(this);
    } else {
        // The shell browser, its view and every service live inside the
        // file manager's process.
        ProviderTrace("Browser(%08lX)::QueryInterface(%s): no such interface", TraceId(this), IidText(iid).c_str());
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CBrowser::AddRef()
{
    const LONG n = InterlockedIncrement(&m_cRef);
    // The tracker's own reference is the first; the second one is a use.
    if (n == 2 && m_tracker)
        m_tracker->AddUse();
    return static_cast<ULONG>(n);
}

ULONG STDMETHODCALLTYPE CBrowser::Release()
{
    const LONG n = InterlockedDecrement(&m_cRef);
    if (n == 1 && m_tracker)
        m_tracker->ReleaseUse();
    else if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

HRESULT STDMETHODCALLTYPE CBrowser::get_Application(IDispatch **ppDisp)
{
    ProviderTrace("Browser(%08lX)::get_Application()", TraceId(this));
    if (!ppDisp)
        return E_POINTER;
    *ppDisp = static_cast<IWebBrowser2 *>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBrowser::get_Parent(IDispatch **ppDisp)
{
    ProviderTrace("Browser(%08lX)::get_Parent()", TraceId(this));
    return get_Application(ppDisp);
}

HRESULT STDMETHODCALLTYPE CBrowser::get_TopLevelContainer(VARIANT_BOOL *pBool)
{
    ProviderTrace("Browser(%08lX)::get_TopLevelContainer()", TraceId(this));
    if (!pBool)
        return E_POINTER;
    *pBool = VARIANT_TRUE;
    return S_OK;
}

HRESULT CBrowser::GetEdge(Edge edge, LONG *value) const
{
    ProviderTrace("Browser(%08lX)::get_%s()", TraceId(this), kEdgeNames[static_cast<int>(edge)]);
    if (!value)
        return E_POINTER;
    RECT rc{};
    if (!WindowLives() || !GetWindowRect(m_hwnd, &rc))
        return WindowGone();
    switch (edge) {
    case Edge::Left:
        *value = rc.left;
        break;
    case Edge::Top:
        *value = rc.top;
        break;
    case Edge::Width:
        *value = rc.right - rc.left;
        break;
    case Edge::Height:
        *value = rc.bottom - rc.top;
        break;
    }
    return S_OK;
}

HRESULT CBrowser::PutEdge(Edge edge, LONG value)
{
    ProviderTrace("Browser(%08lX)::put_%s(%ld)", TraceId(this), kEdgeNames[static_cast<int>(edge)], value);
    RECT rc{};
    if (!WindowLives() || !GetWindowRect(m_hwnd, &rc))
        return WindowGone();
    LONG x = rc.left, y = rc.top, cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS;
    switch (edge) {
    case Edge::Left:
        x = value;
        flags |= SWP_NOSIZE;
        break;
    case Edge::Top:
        y = value;
        flags |= SWP_NOSIZE;
        break;
    case Edge::Width:
        cx = value;
        flags |= SWP_NOMOVE;
        break;
    case Edge::Height:
        cy = value;
        flags |= SWP_NOMOVE;
        break;
    }
    if ((edge == Edge::Width || edge == Edge::Height) && value < 0)
        return E_INVALIDARG;
    return SetWindowPos(m_hwnd, nullptr, x, y, cx, cy, flags) ? S_OK : LastErrorResult();
}

HRESULT STDMETHODCALLTYPE CBrowser::get_Left(LONG *pl) { return GetEdge(Edge::Left, pl); }
HRESULT STDMETHODCALLTYPE CBrowser::put_Left(LONG value) { return PutEdge(Edge::Left, value); }
HRESULT STDMETHODCALLTYPE CBrowser::get_Top(LONG *pl) { return GetEdge(Edge::Top, pl); }
HRESULT STDMETHODCALLTYPE CBrowser::put_Top(LONG value) { return PutEdge(Edge::Top, value); }
HRESULT STDMETHODCALLTYPE CBrowser::get_Width(LONG *pl) { return GetEdge(Edge::Width, pl); }
HRESULT STDMETHODCALLTYPE CBrowser::put_Width(LONG value) { return PutEdge(Edge::Width, value); }
HRESULT STDMETHODCALLTYPE CBrowser::get_Height(LONG *pl) { return GetEdge(Edge::Height, pl); }
HRESULT STDMETHODCALLTYPE CBrowser::put_Height(LONG value) { return PutEdge(Edge::Height, value); }

std::wstring CBrowser::Title() const
{
    wchar_t title[MAX_PATH] = {};
    if (WindowLives())
        GetWindowTextW(m_hwnd, title, MAX_PATH);
    return title;
}

HRESULT STDMETHODCALLTYPE CBrowser::get_LocationName(BSTR *name)
{
    ProviderTrace("Browser(%08lX)::get_LocationName()", TraceId(this));
    if (!name)
        return E_POINTER;
    *name = nullptr;
    if (!WindowLives())
        return WindowGone();
    return ReturnText(Title(), name);
}

// Only a drive's root can be told from outside: the file manager titles it
// with the drive; any other folder shows its name alone, and its location
// reads as empty, as a folder outside the file system does.
HRESULT STDMETHODCALLTYPE CBrowser::get_LocationURL(BSTR *url)
{
    ProviderTrace("Browser(%08lX)::get_LocationURL()", TraceId(this));
    if (!url)
        return E_POINTER;
    *url = nullptr;
    if (!WindowLives())
        return WindowGone();
    return ReturnText(DriveRootUrl(Title()), url);
}

HRESULT STDMETHODCALLTYPE CBrowser::get_Busy(VARIANT_BOOL *pBool)
{
    ProviderTrace("Browser(%08lX)::get_Busy()", TraceId(this));
    if (!pBool)
        return E_POINTER;
    *pBool = m_reportedView ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBrowser::get_ReadyState(READYSTATE *state)
{
    ProviderTrace("Browser(%08lX)::get_ReadyState()", TraceId(this));
    if (!state)
        return E_POINTER;
    *state = m_reportedView ? READYSTATE_COMPLETE : READYSTATE_LOADING;
    return S_OK;
}

// The window is asked to close as its close box asks it; the window's
// program decides, and OnQuit follows once the window is gone.
HRESULT STDMETHODCALLTYPE CBrowser::Quit()
{
    ProviderTrace("Browser(%08lX)::Quit()", TraceId(this));
    if (!WindowLives())
        return WindowGone();
    if (!PostMessageW(m_hwnd, WM_CLOSE, 0, 0))
        return LastErrorResult();
    if (m_tracker)
        m_tracker->QueueClosing(this);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBrowser::get_HWND(SHANDLE_PTR *pHWND)
{
    ProviderTrace("Browser(%08lX)::get_HWND()", TraceId(this));
    if (!pHWND)
        return E_POINTER;
    *pHWND = 0;
    if (!WindowLives())
        return WindowGone();
    *pHWND = reinterpret_cast<SHANDLE_PTR>(m_hwnd);
    return S_OK;
}

std::wstring CBrowser::ProgramPath() const
{
    CKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, m_pid));
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!process || !QueryFullProcessImageNameW(process.Get(), 0, path, &size))
        return std::wstring();
    return std::wstring(path, size);
}

HRESULT STDMETHODCALLTYPE CBrowser::get_FullName(BSTR *fullName)
{
    ProviderTrace("Browser(%08lX)::get_FullName()", TraceId(this));
    if (!fullName)
        return E_POINTER;
    *fullName = nullptr;
    const std::wstring path = ProgramPath();
    return path.empty() ? LastErrorResult() : ReturnText(path, fullName);
}

HRESULT STDMETHODCALLTYPE CBrowser::get_Path(BSTR *path)
{
    ProviderTrace("Browser(%08lX)::get_Path()", TraceId(this));
    if (!path)
        return E_POINTER;
    *path = nullptr;
    const std::wstring program = ProgramPath();
    const size_t slash = program.find_last_of(L'\\');
    return slash == std::wstring::npos ? LastErrorResult() : ReturnText(program.substr(0, slash + 1), path);
}

HRESULT STDMETHODCALLTYPE CBrowser::get_Visible(VARIANT_BOOL *pBool)
{
    ProviderTrace("Browser(%08lX)::get_Visible()", TraceId(this));
    if (!pBool)
        return E_POINTER;
    *pBool = WindowLives() && IsWindowVisible(m_hwnd) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBrowser::put_Visible(VARIANT_BOOL value)
{
    ProviderTrace("Browser(%08lX)::put_Visible(%d)", TraceId(this), value);
    if (!WindowLives())
        return WindowGone();
    ShowWindowAsync(m_hwnd, value ? SW_SHOWNA : SW_HIDE);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CBrowser::EnumConnectionPoints(IEnumConnectionPoints **ppEnum)
{
    ProviderTrace("Browser(%08lX)::EnumConnectionPoints(): not implemented", TraceId(this));
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CBrowser::FindConnectionPoint(REFIID iid, IConnectionPoint **ppcp)
{
    ProviderTrace("Browser(%08lX)::FindConnectionPoint(%s)", TraceId(this), IidText(iid).c_str());
    return m_events.Find(iid, ppcp);
}

bool CBrowser::WindowLives() const
{
    DWORD pid = 0;
    return IsWindow(m_hwnd) && GetWindowThreadProcessId(m_hwnd, &pid) && pid == m_pid && IsFileManagerWindow(m_hwnd);
}

HWND CBrowser::CurrentView() const
{
    HWND view = nullptr;
    EnumChildWindows(m_hwnd, FindFolderView, reinterpret_cast<LPARAM>(&view));
    return view;
}

void CBrowser::FireDocumentComplete()
{
    BSTR urlText = SysAllocString(WindowLives() ? DriveRootUrl(Title()).c_str() : L"");
    ProviderTrace("Browser(%08lX) fires DocumentComplete(%s)", TraceId(this),
                  TraceText(urlText ? urlText : L"").c_str());
    VARIANT url;
    VariantInit(&url);
    V_VT(&url) = VT_BSTR;
    V_BSTR(&url) = urlText;
    VARIANT args[2];
    VariantInit(&args[0]);
    V_VT(&args[0]) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&args[0]) = &url;
    VariantInit(&args[1]);
    V_VT(&args[1]) = VT_DISPATCH;
    V_DISPATCH(&args[1]) = static_cast<IWebBrowser2 *>(this);
    m_events.Fire(DISPID_DOCUMENTCOMPLETE, args, 2);
    VariantClear(&url);
}

// The close cannot be cancelled from here: it was asked of the window's
// own program already. The flag is passed, and what a sink sets is ignored.
void CBrowser::FireWindowClosing()
{
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[2];
    VariantInit(&args[0]);
    V_VT(&args[0]) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&args[0]) = &cancel;
    VariantInit(&args[1]);
    V_VT(&args[1]) = VT_BOOL;
    V_BOOL(&args[1]) = VARIANT_FALSE;
    ProviderTrace("Browser(%08lX) fires WindowClosing", TraceId(this));
    m_events.Fire(DISPID_WINDOWCLOSING, args, 2);
}

void CBrowser::FireOnQuit()
{
    ProviderTrace("Browser(%08lX) fires OnQuit", TraceId(this));
    m_events.Fire(DISPID_ONQUIT, nullptr, 0);
}

HRESULT CBrowser::WindowGone() const
{
    ProviderTrace("Browser(%08lX): window %08lX is gone", TraceId(this), TraceId(m_hwnd));
    return HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE);
}

HRESULT CBrowser::Unsupported(const char *member)
{
    ProviderTrace("Browser(%08lX)::%s(): not implemented", TraceId(this), member);
    return E_NOTIMPL;
}
