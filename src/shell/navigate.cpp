// navigate.cpp - NavigateToSpecifyPage, which makes an adopted Explorer
// window the sefra's window (tree pane hidden, browsed to the drive, exit
// wait started, dialog controls locked), and PidlFromPath.
#include "diagnostics/trace.h"
#include "ui/sefrabox_dlg.h"

#include <exdisp.h>

namespace {

const wchar_t kFolderTreePane[] = L"{EFA24E64-B078-11d0-89E4-00C04FC9E26E}";
// {49E1B500-4636-11D3-97F7-00C04F45D0B3}
const GUID kSidShellBrowser = {0x49E1B500, 0x4636, 0x11D3, {0x97, 0xF7, 0x00, 0xC0, 0x4F, 0x45, 0xD0, 0xB3}};
constexpr int kItemAttempts = 10;
constexpr DWORD kItemRetryMs = 500;
constexpr UINT kBrowseFlags = SBSP_SAMEBROWSER; // 1

// The folder tree pane off: ShowBrowserBar(pane id as text, FALSE, empty).
void HideFolderTree(IWebBrowser2 *browser)
{
    VARIANT pane, show, size;
    VariantInit(&pane);
    V_VT(&pane) = VT_BSTR;
    V_BSTR(&pane) = SysAllocString(kFolderTreePane);
    VariantInit(&show);
    V_VT(&show) = VT_BOOL;
    V_BOOL(&show) = VARIANT_FALSE;
    VariantInit(&size);
    browser->ShowBrowserBar(&pane, &show, &size);
    VariantClear(&pane);
}

} // namespace

LPITEMIDLIST CSefraboxDlg::PidlFromPath(HWND owner, const char *path)
{
    CComPtr<IMalloc> malloc;
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetMalloc(malloc.Receive())) || !malloc || FAILED(SHGetDesktopFolder(desktop.Receive())) || !desktop)
        return nullptr;
    wchar_t wide[MAX_PATH] = {};
    if (!path || MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) == 0)
        return nullptr;
    LPITEMIDLIST parsed = nullptr;
    if (FAILED(desktop->ParseDisplayName(owner, nullptr, wide, nullptr, &parsed, nullptr)) || !parsed)
        return nullptr;
    LPITEMIDLIST copy = ILClone(parsed);
    malloc->Free(parsed);
    return copy;
}

void CSefraboxDlg::NavigateToSpecifyPage()
{
    SB_TRACE("CSefraboxDlg::NavigateToSpecifyPage()");
    if (m_pWebBrowser2)
        HideFolderTree(m_pWebBrowser2.Get());

    CComPtr<IServiceProvider> provider;
    CComPtr<IShellBrowser> shellBrowser;
    if (m_pWebBrowser2)
        m_pWebBrowser2.QueryTo(IID_IServiceProvider, provider);
    if (!provider)
        SB_TRACE("NULL == psp");
    else
        provider->QueryService(kSidShellBrowser, IID_IShellBrowser, shellBrowser.ReceiveVoid());

    if (!shellBrowser) {
        SB_TRACE("NULL == psb");
    } else {
        // A drive the shell has not seen arrive yet does not parse at once.
        LPITEMIDLIST pidl = nullptr;
        for (int attempt = 0; attempt < kItemAttempts && !pidl; ++attempt) {
            Sleep(kItemRetryMs);
            pidl = PidlFromPath(m_hWnd, m_szDrivePath.c_str());
        }
        if (!pidl) {
            SB_TRACE("PidlFromPath(%s) failed!", m_szDrivePath.c_str());
            SHGetSpecialFolderLocation(m_hWnd, CSIDL_DRIVES, &pidl);
        }
        if (m_pidlSelect)
            ILFree(m_pidlSelect);
        m_pidlSelect = nullptr;
        if (!pidl) {
            SB_TRACE("NULL == pidl");
        } else {
            CComPtr<IShellFolder> parent;
            LPCITEMIDLIST last = nullptr;
            if (FAILED(SHBindToParent(pidl, IID_IShellFolder, parent.ReceiveVoid(), &last)) || !parent) {
                SB_TRACE("SHBindToParent() failed!");
            } else {
                SFGAOF attributes = SFGAO_FOLDER;
                if (SUCCEEDED(parent->GetAttributesOf(1, &last, &attributes))) {
                    m_pidlSelect = ILClone(pidl);
                    if (attributes & SFGAO_FOLDER) {
                        SB_TRACE("this is a folder");
                        shellBrowser->BrowseObject(pidl, kBrowseFlags);
                    } else {
                        SB_TRACE("this is a file");
                        LPITEMIDLIST folder = ILClone(pidl);
                        if (folder) {
                            ILRemoveLastID(folder);
                            shellBrowser->BrowseObject(folder, kBrowseFlags);
                            ILFree(folder);
                        }
                    }
                }
            }
            ILFree(pidl);
        }
    }

    if (m_pWebBrowser2) {
        SHANDLE_PTR handle = 0;
        if (FAILED(m_pWebBrowser2->get_HWND(&handle)))
            SB_TRACE("get_HWND() failed! %s", GetErrorText(GetLastError()).c_str());
        m_hwndExplorer = reinterpret_cast<HWND>(handle);
    }
    if (!::IsWindow(m_hwndExplorer)) {
        SB_TRACE("!IsWindow(m_hwndExplorer)");
        m_hwndExplorer = FindExplorerWindowByTitle();
    }
    if (::IsWindow(m_hwndExplorer)) {
        KillTimer(m_hWnd, VERIFY_NEW_WINDOWS);
        if (StartExitWait()) {
            ShowPlatformRow(IDC_PLATFORM2, SW_HIDE);
            ShowPlatformRow(IDC_PLATFORM3, SW_HIDE);
            ShowPlatformRow(IDC_PLATFORM1, SW_HIDE);
            EnableSefraControls(FALSE);
        }
    }
}
