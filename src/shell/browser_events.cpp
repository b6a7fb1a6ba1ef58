// browser_events.cpp - the dialog as sink of the shell's window collection
// and of the shown browser: the event dispatch, the connections, the
// snapshot's end, the handlers WindowRegistered, DocumentComplete, OnQuit and
// WindowClosing, and the browser's single release.
#include "diagnostics/trace.h"
#include "machine/mount_lock.h"
#include "ui/sefrabox_dlg.h"
#include "win/shell_owners.h"

#include <exdisp.h>
#include <mshtml.h>

namespace {

// {4C96BE40-915C-11CF-99D3-00AA004AE837}
const GUID kSidTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr UINT kSelectFlags = SVSI_SELECT | SVSI_ENSUREVISIBLE | SVSI_FOCUSED | SVSI_POSITIONITEM;

// Identity of a COM object: its IUnknown.
CComPtr<IUnknown> IdentityOf(IUnknown *object)
{
    CComPtr<IUnknown> unknown;
    if (object)
        object->QueryInterface(IID_IUnknown, unknown.ReceiveVoid());
    return unknown;
}

// The top-level document's title and the element named "tagline".
void BrandDocument(IWebBrowser2 *browser)
{
    CComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(document.Receive())) || !document)
        return;
    CComPtr<IHTMLDocument2> html;
    if (FAILED(document.QueryTo(IID_IHTMLDocument2, html)) || !html)
        return;
    const CBstr title(SysAllocString(L"Brannick"));
    html->put_title(title.Get());
    CComPtr<IHTMLElementCollection> all;
    if (FAILED(html->get_all(all.Receive())) || !all)
        return;
    const CVariant name(CBstr(SysAllocString(L"tagline")));
    const CVariant index(0L);
    CComPtr<IDispatch> item;
    if (FAILED(all->item(name.Value(), index.Value(), item.Receive())) || !item)
        return;
    CComPtr<IHTMLElement> element;
    if (FAILED(item.QueryTo(IID_IHTMLElement, element)) || !element)
        return;
    const CBstr text(SysAllocString(L"Brannick Company"));
    element->put_innerText(text.Get());
}

} // namespace

bool CSefraboxDlg::IsEventInterface(REFIID iid) const
{
    return IsEqualIID(iid, DIID_DWebBrowserEvents2) || IsEqualIID(iid, DIID_DShellWindowsEvents);
}

bool CSefraboxDlg::OnInvoke(DISPID id, DISPPARAMS *params)
{
    // Arguments arrive last first.
    const UINT n = params->cArgs;
    VARIANT *args = params->rgvarg;
    switch (id) {
    case DISPID_WINDOWREGISTERED: {
        long cookie = 0;
        if (n >= 1 && V_VT(&args[0]) == VT_I4)
            cookie = V_I4(&args[0]);
        WindowRegistered(cookie);
        return true;
    }
    case DISPID_ONQUIT:
        OnQuit();
        return true;
    case DISPID_DOCUMENTCOMPLETE: {
        IDispatch *disp = n >= 2 && V_VT(&args[1]) == VT_DISPATCH ? V_DISPATCH(&args[1]) : nullptr;
        VARIANT *url = n >= 2 && V_VT(&args[0]) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(&args[0]) : nullptr;
        DocumentComplete(disp, url);
        return true;
    }
    case DISPID_WINDOWCLOSING: {
        const VARIANT_BOOL child = n >= 2 && V_VT(&args[1]) == VT_BOOL ? V_BOOL(&args[1]) : VARIANT_FALSE;
        VARIANT_BOOL *cancel = n >= 2 && V_VT(&args[0]) == (VT_BOOL | VT_BYREF) ? V_BOOLREF(&args[0]) : nullptr;
        WindowClosing(child, cancel);
        return true;
    }
    default:
        return false;
    }
}

void CSefraboxDlg::WindowClosing(VARIANT_BOOL, VARIANT_BOOL *)
{
    // The cancel flag stays as it came: the window closes.
    SB_TRACE("CSefraboxDlg::WindowClosing()");
}

void CSefraboxDlg::AdviseBrowserEvents()
{
    if (!m_pWebBrowser2)
        return;
    ++m_lBrowserSerial;
    ConnectionAdvise(m_pWebBrowser2.Get(), DIID_DWebBrowserEvents2, GetIDispatch(), &m_dwBrowserCookie);
}

void CSefraboxDlg::UnadviseBrowserEvents()
{
    if (m_dwBrowserCookie == 0 || !m_pWebBrowser2)
        return;
    ConnectionUnadvise(m_pWebBrowser2.Get(), DIID_DWebBrowserEvents2, m_dwBrowserCookie);
    m_dwBrowserCookie = 0;
}

void CSefraboxDlg::DiscardWindowSnapshot()
{
    if (m_dwShellWindowsCookie != 0) {
        ConnectionUnadvise(m_pShellWindows.Get(), DIID_DShellWindowsEvents, m_dwShellWindowsCookie);
        m_dwShellWindowsCookie = 0;
    }
    m_lstOldWindows.clear();
    m_pShellWindows.Release();
}

// A browser may fire OnQuit from inside Quit; the local reference keeps it
// alive until Quit has returned, and OnQuit's release then finds nothing.
void CSefraboxDlg::ReleaseBrowser(bool quitOwn)
{
    if (!m_pWebBrowser2)
        return;
    if (quitOwn && m_bOwnShellWindow) {
        const CComPtr<IWebBrowser2> browser = m_pWebBrowser2;
        browser->Quit();
        m_bOwnShellWindow = 0;
    }
    UnadviseBrowserEvents();
    m_pWebBrowser2.Release();
}

// Another program's window may register first, and the launched one may
// register before it shows the drive: a registration that finds no window
// showing the drive ends nothing while the launch may still give one.
void CSefraboxDlg::WindowRegistered(long)
{
    SB_TRACE("CSefraboxDlg::WindowRegistered()");
    if (DeferWhileLockHeldHere(kDeferWindowRegistered, "CSefraboxDlg::WindowRegistered()"))
        return;
    const CMountVolumeLockHolder lock(kLockPollHandlerMs);
    SB_TRACE("CSefraboxDlg::WindowRegistered() gained g_MountVolumeLock");
    if (m_pShellWindows && !AdoptLaunchedWindow()) {
        SB_TRACE("bNewWnd not find!");
        EndFailedLaunch();
    }
}

void CSefraboxDlg::DocumentComplete(IDispatch *disp, VARIANT *url)
{
    const wchar_t *urlText = url && V_VT(url) == VT_BSTR && V_BSTR(url) ? V_BSTR(url) : L"";
    SB_TRACE("CSefraboxDlg::DocumentComplete(%S)", urlText);
    if (m_pWebBrowser2) {
        const CComPtr<IUnknown> self = IdentityOf(m_pWebBrowser2.Get());
        const CComPtr<IUnknown> other = IdentityOf(disp);
        if (self.Get() == other.Get()) {
            BrandDocument(m_pWebBrowser2.Get());
        } else if (m_pidlSelect) {
            CComPtr<IServiceProvider> provider;
            CComPtr<IShellBrowser> shellBrowser;
            CComPtr<IShellView> view;
            if (SUCCEEDED(m_pWebBrowser2.QueryTo(IID_IServiceProvider, provider)) && provider &&
                SUCCEEDED(provider->QueryService(kSidTopLevelBrowser, IID_IShellBrowser, shellBrowser.ReceiveVoid())) &&
                shellBrowser && SUCCEEDED(shellBrowser->QueryActiveShellView(view.Receive())) && view) {
                CComPtr<IShellFolder> parent;
                LPCITEMIDLIST last = nullptr;
                if (SUCCEEDED(SHBindToParent(m_pidlSelect.Get(), IID_IShellFolder, parent.ReceiveVoid(), &last)) &&
                    parent) {
                    SFGAOF attributes = 0x80000000;
                    if (SUCCEEDED(parent->GetAttributesOf(1, &last, &attributes)) && !(attributes & SFGAO_FOLDER))
                        view->SelectItem(ILFindLastID(m_pidlSelect.Get()), kSelectFlags);
                }
            }
            m_pidlSelect.Reset();
        }
    }
    SetTimer(m_hWnd, RETITLE_EXPLORER, 0, nullptr);
}

void CSefraboxDlg::OnQuit()
{
    SB_TRACE("CSefraboxDlg::OnQuit()");
    ReleaseBrowser(false);
    SB_TRACE("CSefraboxDlg::OnQuit() soon return");
}

void CSefraboxDlg::OnReleaseBrowser(LONG serial)
{
    if (serial == m_lBrowserSerial)
        ReleaseBrowser(false);
}
