// The Explorer window of an open sefra on the demo world, with the test's
// own shell window collection: the shell's word of the new drive (and the
// opening window's bound without it), the launch, the adoption and
// navigation, the retitle, the input redirect, and the close, plain or while
// another program still holds a file of the sefra (question 3362, No and
// Yes) or of another sefra. Then the same with no double at all: Wine's own
// file manager, whose windows the shell-window provider lists.
#include "shown_drives.h"
#include "files.h"
#include "linked_world_test.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "module/app.h"
#include "process.h"
#include "product_texts.h"
#include "res/resource.h"
#include "shell_double.h"
#include "shell_test_support.h"
#include "suite/Kestor.h"
#include "ui/sefrabox_dlg.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "win/handles.h"
#include "window_finders.h"
#include "world_test.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

using shell_double::CFakeBrowser;
using shell_double::CFakeShellWindows;
using shell_test::CLaunchIntoDouble;
using shell_test::LaunchAnswer;
using shell_test::PumpUntil;

namespace {

bool HasLabel(char letter) { return DriveLabel(letter).has_value(); }

// Stops every thread of a program, as a program that hangs, or lets them
// run again.
void SuspendProgram(DWORD pid, bool suspend)
{
    CKernelHandle threads(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(threads.Get(), &entry); more; more = Thread32Next(threads.Get(), &entry)) {
        CKernelHandle thread(
            entry.th32OwnerProcessID == pid ? OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID) : nullptr);
        if (thread && suspend)
            SuspendThread(thread.Get());
        else if (thread)
            ResumeThread(thread.Get());
    }
}

class ExplorerOnDemoWorld : public LinkedWorldTest {
protected:
    void SetUp() override
    {
        LinkedWorldTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        MakeWorld();
    }

    void TearDown() override
    {
        LinkedWorldTest::TearDown();
        CoUninitialize();
    }

    // Opens the first row's sefra (password "main"); its drive letter.
    char OpenFirstSefra(CSefraboxDlg &dlg)
    {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_PLATFORM1)));
        SetDlgItemTextA(dlg, IDC_PWD1, "main");
        dlg.OpenSefra();
        return g_szDriveLetter[0];
    }

    // A program that keeps file open (for reading, others may read and
    // write) until it is ended; null when it did not come to hold it.
    static CKernelHandle HoldInAnotherProgram(const std::string &file)
    {
        CKernelHandle ready(CreateEventA(nullptr, TRUE, FALSE, "SefraShellTestHeld"));
        CKernelHandle holder = StartProgram(BinProgram("shell_hold_file.exe") + " \"" + file + "\" SefraShellTestHeld");
        if (holder && WaitForSingleObject(ready.Get(), 20000) != WAIT_OBJECT_0)
            holder.Reset();
        return holder;
    }

    // The dialog's teardown closes the drive, the volume and the store.
    void Release(CSefraboxDlg &dlg)
    {
        dlg.DestroyWindow();
        EXPECT_EQ(0u, g_dwMountHandle);
        EXPECT_EQ('\0', g_szDriveLetter[0]);
    }
};

TEST_F(ExplorerOnDemoWorld, DriveArrivalLaunchesAdoptsRetitlesRedirectsAndTheCloseRemovesTheDrive)
{
    CFakeShellWindows windows;
    CLaunchIntoDouble launch(windows, LaunchAnswer::OpenWindow);
    CFakeBrowser *other = windows.Open("CabinetWClass", "Documents", true);
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    CTraceCapture trace;

    const char letter = OpenFirstSefra(dlg);
    ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
    const std::string root = std::string(1, letter) + ":\\";
    const std::string drive = root.substr(0, 2);

    // The shell's word of the drive ends the opening dialog and launches.
    ASSERT_TRUE(PumpUntil([&] { return !launch.Launches().empty(); }));
    ASSERT_EQ(1u, launch.Launches().size());
    const shell_test::Launch &l = launch.Launches()[0];
    EXPECT_EQ("Explorer.exe", l.file);
    EXPECT_EQ(root, l.parameters);
    EXPECT_EQ(0x440u, l.mask);
    EXPECT_EQ(SW_SHOWNORMAL, l.show);
    EXPECT_FALSE(l.hasVerb || l.hasDirectory || l.hasOwner);
    EXPECT_FALSE(dlg.StateForTests().m_pOpenningDlg && dlg.StateForTests().m_pOpenningDlg->IsWindow());
    EXPECT_TRUE(dlg.IsWindowEnabled());
    EXPECT_TRUE(trace.Contains("CSefraboxDlg::OnShellChangeNotify() gained g_MountVolumeLock"));

    // The window that registers is adopted: tree pane hidden, browsed to the
    // drive, watched; the dialog's rows collapse and its controls lock.
    ASSERT_TRUE(PumpUntil([&] { return IsWindow(dlg.StateForTests().m_hwndExplorer) != FALSE; }));
    const std::vector<CFakeBrowser *> open = windows.OpenBrowsers();
    ASSERT_EQ(2u, open.size());
    CFakeBrowser *shown = open[1];
    EXPECT_EQ(shown->Hwnd(), dlg.StateForTests().m_hwndExplorer);
    EXPECT_EQ(shown->AsDispatch(), static_cast<IDispatch *>(dlg.StateForTests().m_pWebBrowser2.Get()));
    EXPECT_EQ(1, dlg.StateForTests().m_bOwnShellWindow);
    EXPECT_EQ(std::vector<std::string>{"{EFA24E64-B078-11d0-89E4-00C04FC9E26E},FALSE,empty"}, shown->m_barCalls);
    EXPECT_EQ(std::vector<std::string>{"{49E1B500-4636-11D3-97F7-00C04F45D0B3}"}, shown->m_services);
    EXPECT_EQ(std::vector<std::string>{root}, shown->m_shellBrowser.m_browsed);
    EXPECT_EQ(std::vector<UINT>{1}, shown->m_shellBrowser.m_browseFlags);
    EXPECT_EQ(1u, shown->m_events.SinkCount());
    EXPECT_EQ(0u, windows.m_events.SinkCount()) << "the snapshot's connection stays";
    EXPECT_FALSE(dlg.StateForTests().m_pShellWindows);
    EXPECT_EQ(0u, other->m_cRef) << "the snapshot's references stay";
    EXPECT_TRUE(ControlsEnabled(dlg, false));
    EXPECT_FALSE(IsWindowVisible(dlg.GetDlgItem(IDC_PWD1)));
    EXPECT_TRUE(IsWindowVisible(dlg.GetDlgItem(IDCANCEL)));

    // The document completes: the window is named after the sefra.
    shown->CompleteDocument(false, L"file:///");
    const std::string title = dlg.StateForTests().m_szSefraName + " (" + drive + ")";
    EXPECT_TRUE(PumpUntil([&] { return CWindow::GetWindowTextOf(shown->Hwnd()) == title; }))
        << CWindow::GetWindowTextOf(shown->Hwnd());

    // Input to the dialog goes to the window: Escape and Enter bring it to
    // the front and leave the dialog open; mouse moves do not.
    SetForegroundWindow(dlg);
    PostMessageA(dlg, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    PumpPending();
    EXPECT_EQ(static_cast<HWND>(dlg), GetForegroundWindow());
    PostKey(dlg.GetDlgItem(IDCANCEL), VK_ESCAPE);
    PumpPending();
    EXPECT_TRUE(dlg.IsWindow());
    EXPECT_EQ(shown->Hwnd(), GetForegroundWindow());
    SetForegroundWindow(dlg);
    PostKey(dlg, VK_RETURN);
    PumpPending();
    EXPECT_TRUE(dlg.IsWindow());
    EXPECT_EQ(shown->Hwnd(), GetForegroundWindow());

    // A second word of the same drive while the window is shown.
    const auto announceDrive = [&] {
        LPITEMIDLIST item = ILCreateFromPathA(root.c_str());
        ASSERT_TRUE(item);
        LPCITEMIDLIST items[2] = {item, nullptr};
        dlg.SendMessage(WM_SHELL_CHANGE, reinterpret_cast<WPARAM>(items), SHCNE_DRIVEADD);
        ILFree(item);
        PumpPending();
    };
    announceDrive();
    EXPECT_TRUE(PumpUntil([&] { return trace.Count("IsWindow(m_hwndExplorer) (At Line") == 1; }));
    EXPECT_EQ(1u, launch.Launches().size());

    // The user closes the window: the browser is let go once, the drive and
    // its label go, the controls come back.
    windows.Close(shown);
    ASSERT_TRUE(PumpUntil([&] { return ControlsEnabled(dlg, true); }));
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_FALSE(DriveExists(letter));
    EXPECT_FALSE(HasLabel(letter));
    EXPECT_FALSE(dlg.StateForTests().m_pWebBrowser2);
    EXPECT_EQ(0u, shown->m_cRef) << "the browser was not released exactly once";
    EXPECT_EQ(0u, shown->m_events.SinkCount());
    EXPECT_EQ(0, shown->m_nQuit) << "an adopted window closed by its user is not told to quit";
    EXPECT_TRUE(trace.Contains("WaitExplorerExit() gained g_MountVolumeLock"));
    EXPECT_EQ(2u, trace.Count("CSefraboxDlg::OnQuit() soon return"));
    EXPECT_TRUE(trace.Contains("CSefraboxDlg::WindowClosing()"));

    // Another drive that comes later under the same letter is not the sefra.
    CScratchFolder device;
    const std::string link = "\\DosDevices\\" + drive;
    ASSERT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), device.Path().c_str(), 1));
    announceDrive();
    Our_IoCreateSymbolicLink(link.c_str(), "", 0);
    EXPECT_EQ(1u, launch.Launches().size());
    EXPECT_FALSE(dlg.StateForTests().m_pShellWindows);
    Release(dlg);
}

TEST_F(ExplorerOnDemoWorld, AFileHeldOpenAsksFirstNoKeepsTheDriveAndReopensYesRemovesItOtherSefrasDoNotCount)
{
    CFakeShellWindows windows;
    CLaunchIntoDouble launch(windows, LaunchAnswer::OpenWindow);
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    const char letter = OpenFirstSefra(dlg);
    ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
    ASSERT_TRUE(PumpUntil([&] { return IsWindow(dlg.StateForTests().m_hwndExplorer) != FALSE; }));
    CFakeBrowser *first = windows.OpenBrowsers().at(0);

    // Another program keeps a file of the sefra open.
    CKernelHandle holder = HoldInAnotherProgram(std::string(1, letter) + ":\\readme.txt");
    ASSERT_TRUE(holder);

    std::string box;
    std::thread no([&] { box = AnswerModuleBox(IDNO); });
    windows.Close(first);
    ASSERT_TRUE(
        PumpUntil([&] { return launch.Launches().size() == 2 && IsWindow(dlg.StateForTests().m_hwndExplorer); }));
    no.join();
    EXPECT_EQ(kVolumeInUse, box);
    EXPECT_EQ(letter, g_szDriveLetter[0]);
    EXPECT_TRUE(DriveExists(letter));
    CFakeBrowser *second = windows.OpenBrowsers().at(0);
    EXPECT_EQ(second->Hwnd(), dlg.StateForTests().m_hwndExplorer);
    EXPECT_TRUE(ControlsEnabled(dlg, false));
    EXPECT_EQ(0u, first->m_cRef);

    std::thread yes([&] { box = AnswerModuleBox(IDYES); });
    windows.Close(second);
    ASSERT_TRUE(PumpUntil([&] { return ControlsEnabled(dlg, true); }));
    yes.join();
    EXPECT_EQ(kVolumeInUse, box);
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_FALSE(DriveExists(letter));
    EXPECT_EQ(2u, launch.Launches().size());
    TerminateProcess(holder.Get(), 0);
    WaitForSingleObject(holder.Get(), INFINITE);

    // A file of another sefra, which has no drive while this one is open:
    // its program does not hold this one's close up.
    const std::string other = m_world.Sefra(dlg.StateForTests().m_slTarget.at(1)) + "\\held.txt";
    ASSERT_TRUE(WriteText(other, "held\r\n"));
    holder = HoldInAnotherProgram(other);
    ASSERT_TRUE(holder);
    const char again = OpenFirstSefra(dlg);
    ASSERT_TRUE(PumpUntil([&] { return ControlsEnabled(dlg, false); }));
    windows.Close(windows.OpenBrowsers().at(0));
    EXPECT_TRUE(PumpUntil([&] { return ControlsEnabled(dlg, true) && !DriveExists(again); }));
    if (const HWND asked = FindModuleBox()) {
        ADD_FAILURE() << "asked about a file of another sefra";
        PostMessageA(asked, WM_COMMAND, IDYES, 0);
        PumpUntil([&] { return ControlsEnabled(dlg, true); });
    }
    TerminateProcess(holder.Get(), 0);
    WaitForSingleObject(holder.Get(), INFINITE);
    Release(dlg);
}

// How long the opening window's wait may take on a slow machine: its bound
// of 10 s, and a minute more for a busy one.
constexpr DWORD kPastTheBoundMs = 70000;

// Pumps until done() holds or kPastTheBoundMs have passed.
bool PumpPastTheBound(const std::function<bool()> &done)
{
    const DWORD start = GetTickCount();
    while (!PumpUntil(done))
        if (GetTickCount() - start > kPastTheBoundMs)
            return false;
    return true;
}

// The shell's word that root arrived, as the registration delivers it.
void SendDriveAdd(CSefraboxDlg &dlg, LPCITEMIDLIST item)
{
    LPCITEMIDLIST items[2] = {item, nullptr};
    dlg.SendMessage(WM_SHELL_CHANGE, reinterpret_cast<WPARAM>(items), SHCNE_DRIVEADD);
}

// Without the shell's word of the new drive (here: no registration) the
// opening window does not lock the dialog for good. At its bound the dialog
// looks at the drive: one taken away meanwhile is given up (released, the
// person told), one that stands gets its window. The word coming after
// either does nothing more.
TEST_F(ExplorerOnDemoWorld, WithoutTheDrivesArrivalTheOpeningWindowGivesUpOrGoesOnAtItsBound)
{
    CFakeShellWindows windows;
    CLaunchIntoDouble launch(windows, LaunchAnswer::Nothing);
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    SefraVisitState &state = dlg.StateForTests();
    ASSERT_NE(0u, state.m_ulNotifyID);
    SHChangeNotifyDeregister(state.m_ulNotifyID);
    state.m_ulNotifyID = 0;
    auto opening = [&state] { return state.m_pOpenningDlg && state.m_pOpenningDlg->IsWindow(); };
    CTraceCapture trace;

    // The drive is taken away behind the dialog's back while it waits.
    char letter = OpenFirstSefra(dlg);
    ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
    ASSERT_TRUE(opening());
    EXPECT_FALSE(dlg.IsWindowEnabled());
    std::string root = std::string(1, letter) + ":\\";
    const CItemIdList gone(ILCreateFromPathA(root.c_str()));
    ASSERT_TRUE(gone);
    EXPECT_EQ(0u, Our_IoCreateSymbolicLink(("\\DosDevices\\" + root.substr(0, 2)).c_str(), "", 0));
    std::string box;
    std::thread answer([&box] { box = AnswerModuleBox(IDOK, kPastTheBoundMs); });
    // The box is answered inside the handler that gives up.
    const bool givenUp = PumpPastTheBound([&] { return !opening() && dlg.IsWindowEnabled(); });
    answer.join();
    ASSERT_TRUE(givenUp) << box;
    EXPECT_EQ(0u, box.find(FillText(kOpenFailedFormat, {state.m_szSefraName, ""}))) << box;
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_FALSE(HasLabel(letter));
    EXPECT_TRUE(launch.Launches().empty());
    // The given-up sefra's drive path is cleared: its letter's arrival is
    // another drive's.
    EXPECT_TRUE(state.m_szDrivePath.empty());
    SendDriveAdd(dlg, gone.Get());
    PumpPending();
    EXPECT_TRUE(launch.Launches().empty());
    EXPECT_FALSE(FindModuleBox());

    // The drive stands: the dialog goes on to its window.
    letter = OpenFirstSefra(dlg);
    ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
    ASSERT_TRUE(opening());
    EXPECT_TRUE(PumpPastTheBound([&] { return !launch.Launches().empty(); }));
    EXPECT_FALSE(opening());
    EXPECT_TRUE(dlg.IsWindowEnabled());
    root = std::string(1, letter) + ":\\";
    ASSERT_EQ(1u, launch.Launches().size());
    EXPECT_EQ(root, launch.Launches()[0].parameters);
    const CItemIdList late(ILCreateFromPathA(root.c_str()));
    ASSERT_TRUE(late);
    SendDriveAdd(dlg, late.Get());
    EXPECT_TRUE(PumpUntil([&] { return trace.Count("no opening awaits the drive") == 1; }));
    EXPECT_EQ(1u, launch.Launches().size()) << "a second window for one opening";
    EXPECT_TRUE(HasLabel(letter));
    Release(dlg);
}

// No double: the launch starts Wine's own file manager, and the shell-window
// provider of the prefix lists its windows.
class WinesFileManager : public ExplorerOnDemoWorld {
protected:
    // Opens the first row and waits until the dialog has taken the file
    // manager's new window over as the window it launched (the fallback
    // would not count it as its own), however slow it came: controls
    // locked, renamed.
    HWND OpenAndAdopt(CSefraboxDlg &dlg, char &letter)
    {
        letter = OpenFirstSefra(dlg);
        if (!(letter >= 'A' && letter <= 'Z'))
            return nullptr;
        EXPECT_TRUE(PumpUntil(
            [&] { return IsWindow(dlg.StateForTests().m_hwndExplorer) && ControlsEnabled(dlg, false); }, 120000));
        EXPECT_EQ(1, dlg.StateForTests().m_bOwnShellWindow);
        char cls[32] = {};
        GetClassNameA(dlg.StateForTests().m_hwndExplorer, cls, sizeof cls);
        EXPECT_STREQ("ExplorerWClass", cls);
        const std::string title = dlg.StateForTests().m_szSefraName + " (" + letter + ":)";
        EXPECT_TRUE(PumpUntil([&] { return CWindow::GetWindowTextOf(dlg.StateForTests().m_hwndExplorer) == title; }))
            << CWindow::GetWindowTextOf(dlg.StateForTests().m_hwndExplorer);
        return dlg.StateForTests().m_hwndExplorer;
    }

    // The program behind a window, to kill.
    static CKernelHandle ProgramOf(HWND hwnd)
    {
        return CKernelHandle(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, ProcessOfWindow(hwnd)));
    }

    // Closes the shown window as its close box does: the drive and its label
    // go, the controls come back.
    static void CloseAndExpectTheDriveGone(CSefraboxDlg &dlg, HWND window, char letter)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(PumpUntil([&] { return !DriveExists(letter) && !HasLabel(letter) && ControlsEnabled(dlg, true); }));
        EXPECT_EQ('\0', g_szDriveLetter[0]);
    }
};

// The second time round the first window's program is still ending, and
// the window stops answering for a while: neither the click on the dialog
// (which restores the window) nor the renaming freezes the dialog; both
// wait a bounded time, and the renaming comes again until it lands.
TEST_F(WinesFileManager, TheWindowIsAdoptedAndRenamedAndClosingItRemovesTheDriveEachTime)
{
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    for (int visit = 0; visit < 2; ++visit) {
        CTraceCapture trace;
        char letter = 0;
        const HWND window = OpenAndAdopt(dlg, letter);
        ASSERT_TRUE(window) << "visit " << visit;
        ASSERT_TRUE(HasLabel(letter));
        if (visit == 1) {
            const std::string title = CWindow::GetWindowTextOf(window);
            SetWindowTextA(window, (std::string("Data (") + letter + ":)").c_str());
            const DWORD program = ProcessOfWindow(window);
            SuspendProgram(program, true);
            PostMessageA(dlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PumpPending();
            dlg.SendMessage(WM_TIMER, RETITLE_EXPLORER, 0);
            EXPECT_TRUE(trace.Contains("WM_SETTEXT timed out"));
            SuspendProgram(program, false);
            EXPECT_TRUE(PumpUntil([&] { return CWindow::GetWindowTextOf(window) == title; }))
                << CWindow::GetWindowTextOf(window);
        }
        // No question: the file manager holds nothing of the sefra open.
        CloseAndExpectTheDriveGone(dlg, window, letter);
        EXPECT_TRUE(trace.Contains("WaitExplorerExit() soon return")) << "visit " << visit;
    }
    Release(dlg);
}

// A busy machine, or a sefra of many files, makes the file manager slow to
// show its window: the program is held back before it runs at all. Whenever
// it comes, its window is adopted, locked to and named; a window the person
// opens meanwhile on another folder is never taken.
TEST_F(WinesFileManager, AWindowHeldBackIsAdoptedWheneverItComesAndAnotherFolderIsLeftAlone)
{
    for (const DWORD holdMs : {7000u, 30000u}) {
        CSefraboxDlg dlg(nullptr);
        ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
        ASSERT_TRUE(dlg.Create());
        CTraceCapture trace;
        const shell_test::CHeldFileManagerLaunch held(holdMs, false);
        const char letter = OpenFirstSefra(dlg);
        ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
        ASSERT_TRUE(PumpUntil([&] { return held.ProgramId() != 0; }));

        // The person opens another folder while the sefra's window is held.
        const CKernelHandle otherProgram = StartProgram("explorer.exe C:\\windows");
        ASSERT_TRUE(otherProgram);
        const CWindowQuery otherWindows =
            ShownWindows().OfProcess(GetProcessId(otherProgram.Get())).OfClass("ExplorerWClass");
        HWND other = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (other = otherWindows.First()) != nullptr; }));
        const std::string otherTitle = CWindow::GetWindowTextOf(other);

        ASSERT_TRUE(
            PumpUntil([&] { return IsWindow(dlg.StateForTests().m_hwndExplorer) && ControlsEnabled(dlg, false); },
                      holdMs + 120000))
            << "hold " << holdMs;
        const HWND window = dlg.StateForTests().m_hwndExplorer;
        EXPECT_EQ(held.ProgramId(), ProcessOfWindow(window)) << "the launched program shows its own window";
        EXPECT_EQ(1, dlg.StateForTests().m_bOwnShellWindow);
        const std::string title = dlg.StateForTests().m_szSefraName + " (" + letter + ":)";
        EXPECT_TRUE(PumpUntil([&] { return CWindow::GetWindowTextOf(window) == title; }))
            << CWindow::GetWindowTextOf(window);
        EXPECT_TRUE(trace.Contains("VERIFY_NEW_WINDOWS in OnTimer")) << "the 5 s fallback came and went";

        CloseAndExpectTheDriveGone(dlg, window, letter);
        EXPECT_TRUE(IsWindowVisible(other));
        EXPECT_EQ(otherTitle, CWindow::GetWindowTextOf(other));
        PostMessageA(other, WM_CLOSE, 0, 0);
        WaitForSingleObject(otherProgram.Get(), 20000);
        Release(dlg);
    }
}

// The file manager's program ends before it showed a window: no window will
// come, and the sefra's drive is given back at once. The sefra opens again.
TEST_F(WinesFileManager, ALaunchWhoseProgramEndsWithoutAWindowGivesTheDriveBackAndASecondOpenWorks)
{
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    CTraceCapture trace;
    char letter = 0;
    {
        const shell_test::CHeldFileManagerLaunch ended(1000, true);
        letter = OpenFirstSefra(dlg);
        ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
        ASSERT_TRUE(PumpUntil([&] { return !DriveExists(letter) && !HasLabel(letter); }, 60000));
    }
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_TRUE(trace.Contains("No Explorer window: Explorer.exe ended"));
    EXPECT_TRUE(dlg.IsWindowEnabled());
    EXPECT_TRUE(ControlsEnabled(dlg, true));
    EXPECT_FALSE(dlg.StateForTests().m_pShellWindows) << "the wait ended";

    const HWND window = OpenAndAdopt(dlg, letter);
    ASSERT_TRUE(window);
    CloseAndExpectTheDriveGone(dlg, window, letter);
    Release(dlg);
}

// Last of all: Wine's shell keeps a killed file manager's window registered
// for its folder, and hands a later launch on the same drive to that dead
// window (the launched program ends, and no window comes).
TEST_F(WinesFileManager, TheDialogsEndClosesItsWindowAndAKilledFileManagerReleasesTheDrive)
{
    for (const bool killed : {false, true}) {
        CSefraboxDlg dlg(nullptr);
        ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
        ASSERT_TRUE(dlg.Create());
        char letter = 0;
        const HWND window = OpenAndAdopt(dlg, letter);
        ASSERT_TRUE(window);
        if (killed) {
            CKernelHandle program = ProgramOf(window);
            ASSERT_TRUE(TerminateProcess(program.Get(), 1));
            ASSERT_TRUE(
                PumpUntil([&] { return !DriveExists(letter) && !HasLabel(letter) && ControlsEnabled(dlg, true); }));
        }
        Release(dlg);
        EXPECT_FALSE(DriveExists(letter));
        EXPECT_FALSE(HasLabel(letter));
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); })) << "the launched window stays open";
    }
}

} // namespace
