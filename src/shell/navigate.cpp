// navigate.cpp - NavigateToSpecifyPage, which makes an adopted Explorer
// window the sefra's window (tree pane hidden, browsed to the drive, exit
// wait started, dialog controls locked, named after the sefra), and
// PidlFromPath.
#include "diagnostics/trace.h"
#include "ui/sefrabox_dlg.h"
#include "win/shell_owners.h"

#include <exdisp.h>

namespace {

const wchar_t kFolderTreePane[] = L"{EFA24E64-B078-11d0-89E4-00C04FC9E26E}";
// {49E1B500-4636-11D3-97F7-00C04F45D0B3}
const GUID kSidShellBrowser = {0x49E1B500, 0x4636, 0x11D3, {0x97, 0xF7, 0x00, 0xC0, 0x4F, 0x45, 0xD0, 0xB3}};
constexpr int kItemAttempts = 10;
constexpr DWORD kItemRetryMs = 500;
constexpr UINT kBrowseFlags = SBSP_SAMEBROWSER;

// The folder tree pane off: ShowBrowserBar(pane id as text, FALSE, empty).
void HideFolderTree(IWebBrowser2 *browser)
{
    CVariant pane(CBstr(SysAllocString(kFolderTreePane)));
    CVariant show = CVariant::Bool(false);
    CVariant size;
    browser->ShowBrowserBar(pane.Get(), show.Get(), size.Get());
}

} // namespace

CItemIdList CSefraboxDlg::PidlFromPath(HWND owner, const char *path)
{
    CItemIdList parsed;
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Receive())) || !desktop)
        return parsed;
    wchar_t wide[MAX_PATH] = {};
    if (!path || MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) == 0)
        return parsed;
    // The shell allocates the list with its task allocator, the one the
    // owner frees it with.
    if (FAILED(desktop->ParseDisplayName(owner, nullptr, wide, nullptr, parsed.Receive(), nullptr)))
        parsed.Reset();
    return parsed;
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
        CItemIdList pidl;
        for (int attempt = 0; attempt < kItemAttempts && !pidl; ++attempt) {
            Sleep(kItemRetryMs);
            pidl = PidlFromPath(m_hWnd, m_szDrivePath.c_str());
        }
        if (!pidl) {
            SB_TRACE("PidlFromPath(%s) failed!", m_szDrivePath.c_str());
            SHGetSpecialFolderLocation(m_hWnd, CSIDL_DRIVES, pidl.Receive());
        }
        m_pidlSelect.Reset();
        if (!pidl) {
            SB_TRACE("NULL == pidl");
        } else {
            CComPtr<IShellFolder> parent;
            LPCITEMIDLIST last = nullptr;
            if (FAILED(SHBindToParent(pidl.Get(), IID_IShellFolder, parent.ReceiveVoid(), &last)) || !parent) {
                SB_TRACE("SHBindToParent() failed!");
            } else {
                SFGAOF attributes = SFGAO_FOLDER;
                if (SUCCEEDED(parent->GetAttributesOf(1, &last, &attributes))) {
                    m_pidlSelect.Reset(ILClone(pidl.Get()));
                    if (attributes & SFGAO_FOLDER) {
                        SB_TRACE("this is a folder");
                        shellBrowser->BrowseObject(pidl.Get(), kBrowseFlags);
                    } else {
                        SB_TRACE("this is a file");
                        const CItemIdList folder(ILClone(pidl.Get()));
                        if (folder) {
                            ILRemoveLastID(folder.Get());
                            shellBrowser->BrowseObject(folder.Get(), kBrowseFlags);
                        }
                    }
                }
            }
        }
    }

    if (m_pWebBrowser2) {
        SHANDLE_PTR handle = 0;
        if (FAILED(m_pWebBrowser2->get_HWND(&handle)))
            SB_TRACE_LAST_ERROR("get_HWND()");
        m_hwndExplorer = reinterpret_cast<HWND>(handle);
    }
    if (!::IsWindow(m_hwndExplorer)) {
        SB_TRACE("!IsWindow(m_hwndExplorer)");
        m_hwndExplorer = FindExplorerWindowByTitle();
    }
    if (::IsWindow(m_hwndExplorer)) {
        // The window is shown: the wait for it ends (VERIFY_NEW_WINDOWS too).
        EndLaunchWatch();
        if (StartExitWait()) {
            ShowPlatformRow(IDC_PLATFORM2, SW_HIDE);
            ShowPlatformRow(IDC_PLATFORM3, SW_HIDE);
            ShowPlatformRow(IDC_PLATFORM1, SW_HIDE);
            EnableSefraControls(FALSE);
        }
        // A window that showed its folder before the dialog listened to it
        // sends no DocumentComplete: it is named now.
        SetTimer(m_hWnd, RETITLE_EXPLORER, 0, nullptr);
    }
}
