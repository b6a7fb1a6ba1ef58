// The Explorer window's adoption rules with the test's own shell window
// collection: which new window is adopted, and when, a registration after
// the snapshot went, a launch that shows no window, the fallback's choice by
// z-order, window class and drive, the search by title, a path that names a
// file, the shell notifications that are ignored, the branding of an HTML
// document; and a launch that reaches Wine's own file manager, listed by
// the shell-window provider.
#include "config_override.h"
#include "shown_drives.h"
#include "files.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "module/app.h"
#include "process.h"
#include "res/resource.h"
#include "shell_double.h"
#include "shell_test_support.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "win/handles.h"
#include "window_finders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

using shell_double::CFakeBrowser;
using shell_double::CFakeShellWindows;
using shell_test::CLaunchIntoDouble;
using shell_test::LaunchAnswer;
using shell_test::PumpUntil;

namespace {

bool LockIsFree()
{
    if (!TryAcquireMountVolumeLock())
        return false;
    ReleaseMountVolumeLock();
    return true;
}

// The single identifier of the last item of path, as bytes.
std::string LastIdOf(const std::string &path)
{
    LPITEMIDLIST full = ILCreateFromPathA(path.c_str());
    if (!full)
        return "(no item)";
    LPCITEMIDLIST last = ILFindLastID(full);
    std::string bytes(reinterpret_cast<const char *>(last), ILGetSize(last));
    ILFree(full);
    return bytes;
}

// An HTML document with one element named "tagline", recording what is set.
template <typename Stub> using CHtmlFake = shell_double::CCountedFake<shell_double::CNoTypeInfo<Stub>>;

class CFakeElement : public CHtmlFake<CHTMLElementStub> {
public:
    CFakeElement() : CCountedFake({IID_IDispatch, IID_IHTMLElement}) {}
    HRESULT STDMETHODCALLTYPE put_innerText(BSTR v) override
    {
        m_text = v ? v : L"";
        return S_OK;
    }
    std::wstring m_text;
};

class CFakeElements : public CHtmlFake<CHTMLElementCollectionStub> {
public:
    CFakeElements() : CCountedFake({IID_IDispatch, IID_IHTMLElementCollection}) {}
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch **pdisp) override
    {
        *pdisp = nullptr;
        if (V_VT(&name) != VT_BSTR || lstrcmpW(V_BSTR(&name), L"tagline") != 0 || V_VT(&index) != VT_I4 ||
            V_I4(&index) != 0)
            return S_OK;
        *pdisp = &m_tagline;
        m_tagline.AddRef();
        return S_OK;
    }
    CFakeElement m_tagline;
};

class CFakeDocument : public CHtmlFake<CHTMLDocument2Stub> {
public:
    CFakeDocument() : CCountedFake({IID_IDispatch, IID_IHTMLDocument2}) {}
    HRESULT STDMETHODCALLTYPE put_title(BSTR v) override
    {
        m_title = v ? v : L"";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_all(IHTMLElementCollection **p) override
    {
        *p = &m_all;
        m_all.AddRef();
        return S_OK;
    }
    std::wstring m_title;
    CFakeElements m_all;
};

// A dialog shown without a store, over the test's shell window collection.
class ShellWindowRules : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        g_hSefraboxInstance = GetModuleHandleA(nullptr);
        m_windows = std::make_unique<CFakeShellWindows>();
        m_launch = std::make_unique<CLaunchIntoDouble>(*m_windows, LaunchAnswer::Nothing);
        m_dlg = std::make_unique<CSefraboxDlg>(nullptr);
        ASSERT_TRUE(m_dlg->Create());
        State().m_szDrivePath = "C:\\";
        State().m_szSefraName = "Sefra";
    }

    void TearDown() override
    {
        // Whatever window is still shown goes; the watcher then ends.
        for (CFakeBrowser *b : m_windows->OpenBrowsers())
            m_windows->Close(b);
        if (m_dlg->IsWindow()) {
            EXPECT_TRUE(PumpUntil([&] { return ControlsEnabled(*m_dlg, true); }));
        }
        m_dlg->DestroyWindow();
        EXPECT_EQ(0u, m_windows->m_events.SinkCount()) << "the dialog stays connected to the collection";
        EXPECT_EQ(0u, m_dlg->GetRefCount()) << "an event source still holds the dialog";
        m_dlg.reset();
        m_launch.reset();
        m_windows.reset();
        EXPECT_TRUE(LockIsFree());
        CoUninitialize();
    }

    CSefraboxDlg &Dlg() { return *m_dlg; }
    SefraVisitState &State() { return m_dlg->StateForTests(); }

    std::unique_ptr<CFakeShellWindows> m_windows;
    std::unique_ptr<CLaunchIntoDouble> m_launch;
    std::unique_ptr<CSefraboxDlg> m_dlg;
    CTraceCapture m_trace;
};

TEST_F(ShellWindowRules, OnlyANewWindowThatShowsTheDriveIsAdoptedWheneverItShowsIt)
{
    CFakeBrowser *before = m_windows->Open("CabinetWClass", "Old (C:)", true);
    Dlg().CreateNewShellWindow();
    ASSERT_EQ(1u, m_launch->Launches().size());
    EXPECT_EQ(1u, m_windows->m_events.SinkCount());
    ASSERT_TRUE(State().m_pShellWindows);
    EXPECT_EQ(1u, State().m_lstOldWindows.size());

    // A web browser window and a folder window the person opens register
    // first, and the launched window before it shows its folder: none is
    // taken, and the wait goes on.
    CFakeBrowser *web = m_windows->Open("IEFrame", "News");
    // Its location decides, not a title that happens to name the drive.
    CFakeBrowser *folder = m_windows->Open("CabinetWClass", "Notes", true);
    folder->m_url = L"file:///D:/Notes";
    SetWindowTextA(folder->Hwnd(), "Notes on C: (D:)");
    m_windows->AnnounceRegistration();
    CFakeBrowser *launched = m_windows->Open("CabinetWClass", "");
    EXPECT_TRUE(m_trace.Contains("bNewWnd not find!"));
    EXPECT_FALSE(IsWindow(State().m_hwndExplorer));
    EXPECT_TRUE(State().m_pShellWindows);
    EXPECT_EQ(1u, m_windows->m_events.SinkCount());

    // Once it shows the drive, a later look adopts it and names it, with no
    // document completing after the dialog listens to it.
    SetWindowTextA(launched->Hwnd(), "Data (C:)");
    ASSERT_TRUE(PumpUntil([&] { return State().m_hwndExplorer == launched->Hwnd(); }));
    EXPECT_EQ(launched->AsDispatch(), static_cast<IDispatch *>(State().m_pWebBrowser2.Get()));
    EXPECT_EQ(1, State().m_bOwnShellWindow);
    EXPECT_EQ(std::vector<std::string>{"C:\\"}, launched->m_shellBrowser.m_browsed);
    EXPECT_TRUE(PumpUntil([&] { return CWindow::GetWindowTextOf(launched->Hwnd()) == "Sefra (C:)"; }));
    EXPECT_FALSE(State().m_pShellWindows);
    EXPECT_TRUE(State().m_lstOldWindows.empty());
    EXPECT_EQ(0u, m_windows->m_events.SinkCount());
    EXPECT_EQ(0u, before->m_cRef);
    EXPECT_TRUE(ControlsEnabled(Dlg(), false));
    for (CFakeBrowser *b : {before, web, folder}) {
        EXPECT_TRUE(b->m_shellBrowser.m_browsed.empty());
        EXPECT_EQ(0, b->m_nQuit);
    }
    EXPECT_EQ("Notes on C: (D:)", CWindow::GetWindowTextOf(folder->Hwnd()));

    // The dialog is no longer connected; a registration event that still
    // arrives only takes and gives back the lock. (The adopted window's
    // watcher traces its start from a thread of its own: that line first.)
    for (int i = 0; i < 6000 && !m_trace.Contains("WaitExplorerExit() startup"); ++i)
        Sleep(10);
    const size_t navigations = m_trace.Lines().size();
    m_windows->Open("CabinetWClass", "Late (C:)", true);
    Dlg().WindowRegistered(3);
    const std::vector<std::string> lines = m_trace.Lines();
    ASSERT_EQ(navigations + 2, lines.size());
    EXPECT_EQ(0u, lines[navigations].find("CSefraboxDlg::WindowRegistered() (At"));
    EXPECT_EQ(0u, lines[navigations + 1].find("CSefraboxDlg::WindowRegistered() gained g_MountVolumeLock"));
    EXPECT_EQ(launched->Hwnd(), State().m_hwndExplorer);
    EXPECT_TRUE(LockIsFree());

    // The dialog's end quits the window it launched, and that one only.
    Dlg().DestroyWindow();
    EXPECT_EQ(1, launched->m_nQuit);
    EXPECT_FALSE(IsWindow(launched->Hwnd()));
    EXPECT_EQ(0u, launched->m_cRef);
    EXPECT_EQ(0, folder->m_nQuit);
    EXPECT_EQ(0, State().m_bOwnShellWindow);
    EXPECT_EQ(1, State().m_bExiting);
}

TEST_F(ShellWindowRules, ALaunchWithoutItsWindowKeepsTheDriveUntilItsWaitEndsThenGivesItBack)
{
    // A scratch folder as the sefra's drive.
    CScratchFolder folder;
    char drive[10] = {};
    ASSERT_TRUE(AllocDriveLetter(drive));
    const std::string link = std::string("\\DosDevices\\") + drive;
    const auto open = [&] {
        ASSERT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), folder.Path().c_str(), 1));
        std::snprintf(g_szDriveLetter, sizeof g_szDriveLetter, "%s", drive);
        State().m_szDrivePath = std::string(drive) + "\\";
    };
    const auto linked = [&] { return DriveExists(drive[0]); };
    open();

    // Another program's window registers: nothing is given up yet.
    m_windows->Open("CabinetWClass", "Old", true);
    Dlg().CreateNewShellWindow();
    m_windows->AnnounceRegistration();
    EXPECT_TRUE(m_trace.Contains("bNewWnd not find!"));
    EXPECT_EQ(drive[0], g_szDriveLetter[0]);
    EXPECT_TRUE(linked());
    EXPECT_TRUE(State().m_pShellWindows);

    // The wait's end: the drive goes as when the window closes.
    State().m_dwLaunchTick -= kLaunchWaitMs;
    Dlg().SendMessage(WM_TIMER, WATCH_LAUNCH, 0);
    EXPECT_TRUE(m_trace.Contains("No Explorer window "));
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_FALSE(linked());
    EXPECT_TRUE(State().m_szDrivePath.empty());
    EXPECT_FALSE(State().m_pShellWindows);
    EXPECT_EQ(0u, m_windows->m_events.SinkCount());
    EXPECT_TRUE(LockIsFree());
    EXPECT_TRUE(ControlsEnabled(Dlg(), true));

    // A launch that fails gives the drive back at the next look.
    open();
    m_launch->SetAnswer(LaunchAnswer::Fail);
    Dlg().CreateNewShellWindow();
    EXPECT_TRUE(PumpUntil([&] { return !linked(); }));
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_TRUE(m_trace.Contains("No Explorer window: ShellExecuteEx(Explorer.exe) failed"));

    // A program that ends at once has handed the drive to a window that
    // shows it already: that one is taken, and the drive stays.
    open();
    CFakeBrowser *shows = m_windows->Open("CabinetWClass", (std::string("Data (") + drive + ")").c_str(), true);
    m_launch->SetAnswer(LaunchAnswer::EndAtOnce);
    Dlg().CreateNewShellWindow();
    EXPECT_TRUE(PumpUntil([&] { return State().m_hwndExplorer == shows->Hwnd(); }));
    EXPECT_EQ(0, State().m_bOwnShellWindow);
    EXPECT_TRUE(linked());
}

TEST_F(ShellWindowRules, TheFallbackAdoptsTheTopmostExplorerWindowNeverAnotherClass)
{
    CFakeBrowser *lower = m_windows->Open("CabinetWClass", "Lower (C:)", true);
    CFakeBrowser *upper = m_windows->Open("ExploreWClass", "Upper (C:)", true);
    CFakeBrowser *web = m_windows->Open("IEFrame", "Web (C:)", true);
    // The person's window on another folder is never taken.
    CFakeBrowser *elsewhere = m_windows->Open("CabinetWClass", "Elsewhere", true);
    SetWindowPos(upper->Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(web->Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(elsewhere->Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Dlg().CreateNewShellWindow();
    Dlg().SendMessage(WM_TIMER, VERIFY_NEW_WINDOWS, 0);
    EXPECT_TRUE(m_trace.Contains("VERIFY_NEW_WINDOWS gained g_MountVolumeLock"));
    EXPECT_EQ(upper->Hwnd(), State().m_hwndExplorer);
    EXPECT_EQ(0, State().m_bOwnShellWindow);
    EXPECT_EQ(std::vector<std::string>{"C:\\"}, upper->m_shellBrowser.m_browsed);
    EXPECT_TRUE(lower->m_shellBrowser.m_browsed.empty());
    EXPECT_TRUE(elsewhere->m_shellBrowser.m_browsed.empty());
    EXPECT_EQ(0u, m_windows->m_events.SinkCount());
    EXPECT_TRUE(LockIsFree());

    // A new launch lets the adopted window go without closing it.
    Dlg().CreateNewShellWindow();
    EXPECT_EQ(0, upper->m_nQuit);
    EXPECT_TRUE(IsWindow(upper->Hwnd()));
    EXPECT_EQ(0u, upper->m_events.SinkCount());
    Dlg().EndLaunchWatch();
}

TEST_F(ShellWindowRules, TheFallbackAndTheTitleSearchCountWinesFileManagerWindows)
{
    m_windows->Open("CabinetWClass", "Cabinet", true);
    CFakeBrowser *files = m_windows->Open("ExplorerWClass", "Data (C:)", true);
    SetWindowPos(files->Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(files->Hwnd(), Dlg().FindExplorerWindowByTitle());
    Dlg().SendMessage(WM_TIMER, VERIFY_NEW_WINDOWS, 0);
    EXPECT_EQ(files->Hwnd(), State().m_hwndExplorer);
    EXPECT_EQ(std::vector<std::string>{"C:\\"}, files->m_shellBrowser.m_browsed);
}

TEST_F(ShellWindowRules, ClassesDifferingInCaseAreFoundByTitleButNeverAdopted)
{
    // No other window of these classes exists, so the names keep this spelling.
    CFakeBrowser *upper = m_windows->Open("CABINETWCLASS", "Data (Q:)", true);
    CFakeBrowser *web = m_windows->Open("IEFrame", "Q: on the web", true);
    char cls[32] = {};
    GetClassNameA(upper->Hwnd(), cls, sizeof cls);
    ASSERT_STREQ("CABINETWCLASS", cls);
    State().m_szDrivePath = "Q:\\";
    Dlg().SendMessage(WM_TIMER, VERIFY_NEW_WINDOWS, 0);
    EXPECT_FALSE(IsWindow(State().m_hwndExplorer));
    EXPECT_FALSE(State().m_pWebBrowser2);
    EXPECT_TRUE(upper->m_shellBrowser.m_browsed.empty() && web->m_shellBrowser.m_browsed.empty());
    EXPECT_TRUE(ControlsEnabled(Dlg(), true));
    EXPECT_TRUE(LockIsFree());

    EXPECT_EQ(upper->Hwnd(), Dlg().FindExplorerWindowByTitle());
    EXPECT_TRUE(m_trace.Contains("Find it: Data (Q:)"));
    SetWindowTextA(upper->Hwnd(), "data (q:)");
    EXPECT_EQ(nullptr, Dlg().FindExplorerWindowByTitle());
}

TEST_F(ShellWindowRules, AWindowWithoutHandleIsFoundByTheDriveInItsTitle)
{
    // A location the browser tells, a title it does not: it is adopted, and
    // not found.
    Dlg().CreateNewShellWindow();
    CFakeBrowser *unnamed = m_windows->Open("CabinetWClass", "System", true, true);
    unnamed->m_url = L"file:///C:/";
    m_windows->AnnounceRegistration();
    EXPECT_TRUE(m_trace.Contains("!IsWindow(m_hwndExplorer)"));
    EXPECT_FALSE(IsWindow(State().m_hwndExplorer));
    EXPECT_TRUE(ControlsEnabled(Dlg(), true));

    CFakeBrowser *b = m_windows->Open("CabinetWClass", "System (C:)", false, true);
    EXPECT_TRUE(m_trace.Contains("Find it: System (C:)"));
    EXPECT_EQ(b->Hwnd(), State().m_hwndExplorer);
    EXPECT_TRUE(ControlsEnabled(Dlg(), false));
}

TEST_F(ShellWindowRules, APathNamingAFileShowsItsFolderAndSelectsItOnceTheViewIsThere)
{
    CScratchFolder folder;
    const std::string file = folder / "note.txt";
    ASSERT_TRUE(WriteText(file, "a note\r\n"));
    State().m_szDrivePath = file;
    CFakeBrowser *b = m_windows->Open("CabinetWClass", "note", true);
    b->m_url = L"file:///" + std::wstring(1, static_cast<wchar_t>(file[0])) + L":/";
    Dlg().SendMessage(WM_TIMER, VERIFY_NEW_WINDOWS, 0);
    ASSERT_EQ(b->Hwnd(), State().m_hwndExplorer);
    EXPECT_TRUE(m_trace.Contains("this is a file"));
    ASSERT_EQ(1u, b->m_shellBrowser.m_browsed.size());
    EXPECT_EQ(0, lstrcmpiA(folder.Path().c_str(), b->m_shellBrowser.m_browsed[0].c_str()))
        << b->m_shellBrowser.m_browsed[0];
    ASSERT_TRUE(State().m_pidlSelect);

    // The window's own document leaves the item; a frame's selects it.
    b->CompleteDocument(false, L"file:///");
    EXPECT_TRUE(State().m_pidlSelect);
    EXPECT_TRUE(b->m_shellBrowser.m_view.m_selected.empty());
    b->CompleteDocument(true, L"file:///note");
    EXPECT_FALSE(State().m_pidlSelect);
    ASSERT_EQ(1u, b->m_shellBrowser.m_view.m_selected.size());
    EXPECT_EQ(LastIdOf(file), b->m_shellBrowser.m_view.m_selected[0]);
    EXPECT_EQ(0x99u, b->m_shellBrowser.m_view.m_selectFlags[0]);
    EXPECT_EQ(0u, b->m_shellBrowser.m_view.m_cRef);
    EXPECT_EQ(0u, b->m_shellBrowser.m_cRef);

    // The retitle keeps a title that does not show the drive.
    PumpUntil([&] { return m_trace.Contains("szOldText:note"); });
    EXPECT_EQ("note", CWindow::GetWindowTextOf(b->Hwnd()));
}

TEST_F(ShellWindowRules, TheTopLevelHtmlDocumentIsBrandedAndEveryCompletionRetitles)
{
    CFakeBrowser *b = m_windows->Open("CabinetWClass", "Web (C:)", true);
    CFakeDocument document;
    b->m_document = &document;
    Dlg().SendMessage(WM_TIMER, VERIFY_NEW_WINDOWS, 0);
    ASSERT_EQ(b->Hwnd(), State().m_hwndExplorer);

    b->CompleteDocument(false, L"http://example.invalid/");
    EXPECT_EQ(L"Brannick", document.m_title);
    EXPECT_EQ(L"Brannick Company", document.m_all.m_tagline.m_text);
    EXPECT_EQ(0u, document.m_cRef + document.m_all.m_cRef + document.m_all.m_tagline.m_cRef);
    EXPECT_TRUE(PumpUntil([&] { return CWindow::GetWindowTextOf(b->Hwnd()) == "Sefra (C:)"; }));

    // A frame's document: no branding, the retitle all the same.
    document.m_title.clear();
    SetWindowTextA(b->Hwnd(), "Frame (C:)");
    b->CompleteDocument(true, L"http://example.invalid/frame");
    EXPECT_TRUE(PumpUntil([&] { return CWindow::GetWindowTextOf(b->Hwnd()) == "Sefra (C:)"; }));
    EXPECT_EQ(L"", document.m_title);

    // A document that is not HTML is left alone.
    b->m_document = &b->m_frame;
    b->CompleteDocument(false, L"file:///");
    EXPECT_EQ(L"", document.m_title);
    EXPECT_EQ(0u, b->m_frame.m_cRef);
}

TEST_F(ShellWindowRules, AWindowThatVanishesWithoutQuitIsLetGoThroughItsWatcher)
{
    CFakeBrowser *b = m_windows->Open("CabinetWClass", "Gone (C:)", true);
    Dlg().SendMessage(WM_TIMER, VERIFY_NEW_WINDOWS, 0);
    ASSERT_EQ(b->Hwnd(), State().m_hwndExplorer);
    EXPECT_EQ(1u, b->m_events.SinkCount());

    // Mouse buttons on the dialog restore the window and bring it forward.
    ShowWindow(b->Hwnd(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(b->Hwnd()));
    PostMessageA(Dlg(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PumpPending();
    EXPECT_FALSE(IsIconic(b->Hwnd()));
    EXPECT_TRUE(Dlg().IsWindow());

    // No OnQuit event: the watcher's request releases the browser, once.
    shell_double::DestroyFakeWindow(b->Hwnd(), "CabinetWClass");
    ASSERT_TRUE(PumpUntil([&] { return ControlsEnabled(Dlg(), true) && !State().m_pWebBrowser2; }));
    EXPECT_EQ(0u, b->m_cRef);
    EXPECT_EQ(0u, b->m_events.SinkCount());
    EXPECT_TRUE(LockIsFree());
}

TEST_F(ShellWindowRules, TheFirstTimerBringsTheDialogForwardAndCentresIt)
{
    SetWindowPos(Dlg(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CFakeBrowser *b = m_windows->Open("CabinetWClass", "Elsewhere", true);
    SetForegroundWindow(b->Hwnd());
    Dlg().SendMessage(WM_TIMER, ACTIVATE_DIALOG, 0);
    EXPECT_EQ(static_cast<HWND>(Dlg()), GetForegroundWindow());
    RECT rc{}, desk{};
    GetWindowRect(Dlg(), &rc);
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_NEAR((desk.left + desk.right) / 2, (rc.left + rc.right) / 2, 1);
    EXPECT_NEAR((desk.top + desk.bottom) / 2, (rc.top + rc.bottom) / 2, 1);
}

TEST_F(ShellWindowRules, OnlyTheSefraDrivesArrivalInExplorerModeLaunches)
{
    m_launch->SetAnswer(LaunchAnswer::OpenWindow);
    Dlg().AwaitSefraDrive(); // as the link of the sefra's drive does
    auto notify = [&](const char *path, LONG event) {
        LPITEMIDLIST item = ILCreateFromPathA(path);
        LPCITEMIDLIST items[2] = {item, nullptr};
        Dlg().SendMessage(WM_SHELL_CHANGE, reinterpret_cast<WPARAM>(items), event);
        ILFree(item);
        PumpPending();
    };
    notify("Z:\\", SHCNE_DRIVEADD);
    notify("C:\\", SHCNE_MKDIR);
    notify("C:\\", SHCNE_DRIVEADDGUI);
    int result = 0;
    State().m_pnResult = &result;
    notify("C:\\", SHCNE_DRIVEADD);
    State().m_pnResult = nullptr;
    EXPECT_TRUE(m_launch->Launches().empty());
    EXPECT_FALSE(m_trace.Contains("OnShellChangeNotify() gained"));
    EXPECT_TRUE(m_trace.Contains("OnShellChangNotify(Z:\\, )"));

    notify("C:\\", SHCNE_DRIVEADD);
    EXPECT_EQ(1u, m_launch->Launches().size());
    EXPECT_TRUE(PumpUntil([&] { return IsWindow(State().m_hwndExplorer) != FALSE; }));
}

TEST_F(ShellWindowRules, AChangeMessageWhosePointersCannotBeReadIsIgnored)
{
    // Any process may post the message: an unreadable item array, or items
    // that cannot be read, count as items without a path.
    void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
    const LPCITEMIDLIST items[2] = {static_cast<LPCITEMIDLIST>(page), static_cast<LPCITEMIDLIST>(page)};
    PostMessageA(Dlg(), WM_SHELL_CHANGE, reinterpret_cast<WPARAM>(page), SHCNE_DRIVEADD);
    PostMessageA(Dlg(), WM_SHELL_CHANGE, reinterpret_cast<WPARAM>(items), SHCNE_DRIVEADD);
    const auto ignored = [&] {
        const std::vector<std::string> lines = m_trace.Lines();
        return std::count_if(lines.begin(), lines.end(), [](const std::string &line) {
                   return line.find("OnShellChangNotify(, )") != std::string::npos;
               }) == 2;
    };
    EXPECT_TRUE(PumpUntil(ignored));
    VirtualFree(page, 0, MEM_RELEASE);
    EXPECT_TRUE(m_launch->Launches().empty());
}

// No double: the launch goes to Wine's own file manager, whose windows the
// shell-window provider of the prefix lists. The launched window is adopted
// through its registration, before the fallback, and renamed; a window the
// user had open before is neither adopted nor closed, also not by the
// dialog's end, which closes the launched one.
TEST(ShellWithWinesExplorer, TheLaunchedWindowIsAdoptedAndOneOpenBeforeIsLeftAlone)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    g_hSefraboxInstance = GetModuleHandleA(nullptr);
    const CKernelHandle olderProgram = StartProgram("explorer.exe C:\\windows");
    ASSERT_TRUE(olderProgram);
    const CWindowQuery olderWindows =
        ShownWindows().OfProcess(GetProcessId(olderProgram.Get())).OfClass("ExplorerWClass");
    HWND older = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (older = olderWindows.First()) != nullptr; }));
    const std::string olderTitle = CWindow::GetWindowTextOf(older);
    {
        CTraceCapture trace;
        CSefraboxDlg dlg(nullptr);
        ASSERT_TRUE(dlg.Create());
        dlg.StateForTests().m_szDrivePath = "C:\\";
        dlg.StateForTests().m_szSefraName = "Sefra";
        dlg.CreateNewShellWindow();
        ASSERT_TRUE(PumpUntil([&] { return IsWindow(dlg.StateForTests().m_hwndExplorer) != FALSE; }));
        EXPECT_FALSE(trace.Contains("VERIFY_NEW_WINDOWS in OnTimer"));
        EXPECT_NE(older, dlg.StateForTests().m_hwndExplorer);
        EXPECT_EQ(1, dlg.StateForTests().m_bOwnShellWindow);
        EXPECT_TRUE(ControlsEnabled(dlg, false));
        EXPECT_TRUE(
            PumpUntil([&] { return CWindow::GetWindowTextOf(dlg.StateForTests().m_hwndExplorer) == "Sefra (C:)"; }));
        const HWND launched = dlg.StateForTests().m_hwndExplorer;
        dlg.DestroyWindow();
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(launched); }));
        EXPECT_TRUE(LockIsFree());
    }
    EXPECT_TRUE(IsWindowVisible(older));
    EXPECT_EQ(olderTitle, CWindow::GetWindowTextOf(older));
    PostMessageA(older, WM_CLOSE, 0, 0);
    WaitForSingleObject(olderProgram.Get(), 10000);
    CoUninitialize();
}

} // namespace
