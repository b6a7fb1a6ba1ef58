// show_entry_test.cpp - SB_ShowDlg and SB_ShowDlgWithParent through
// Sefrabox.dll on the demo world: the dialog on a real mount, one dialog on
// the machine across processes, a killed dialog's mount cleaned up, the
// parent test, and the teardown at the dialog's end and the session's end.
#include "Sefrabox.h"
#include "clock.h"
#include "shown_drives.h"
#include "files.h"
#include "process.h"
#include "product_texts.h"
#include "res/resource.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "window_finders.h"
#include "world_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

// The visible dialogs titled 保险箱 of process pid.
CWindowQuery DialogsOf(DWORD pid) { return ShownWindows().OfProcess(pid).Titled(kProductName); }

class ShowEntry : public DemoWorldTest {
protected:
    void SetUp() override
    {
        DemoWorldTest::SetUp();
        m_block = SharedBlockOf(GetModuleHandleA("Sefrabox.dll"));
        ASSERT_NE(nullptr, m_block);
        m_shared = CSharedView(m_block);
        MakeWorld();
    }

    BYTE *m_block = nullptr;
};

TEST_F(ShowEntry, ShowsTheStoreRefusesASecondProcessAndTheHotKeyEndsIt)
{
    CSefraboxDlg *pWnd = nullptr;
    CSefraboxDlg *seenWnd = nullptr;
    std::string row;
    bool mounted = false;
    LONG lockDuringRun = -1;
    DWORD second = 0;
    RunFromLoop([&] {
        const std::vector<HWND> dialogs = ThreadDialogs();
        ASSERT_EQ(1u, dialogs.size());
        row = WindowTitle(GetDlgItem(dialogs[0], IDC_PLATFORM1));
        seenWnd = pWnd;
        mounted = m_shared.MountHandle() != 0 && !m_shared.VolumeName().empty() &&
                  m_shared.DialogAddress() == reinterpret_cast<DWORD>(pWnd);
        lockDuringRun = m_shared.Lock();
        second = RunProgram(BinProgram("show_entry_child.exe") + " show");
        PostHotKey(dialogs[0]);
    });
    int result = -7;
    int hotKey = -7;
    EXPECT_EQ(0, SB_ShowDlg(nullptr, &result, &hotKey, &pWnd));
    EXPECT_EQ(std::string(kMainSystem) + kProductName, row);
    EXPECT_NE(nullptr, seenWnd);
    EXPECT_TRUE(mounted);
    EXPECT_EQ(0, lockDuringRun) << "the lock is free while the dialog runs";
    EXPECT_EQ(2u, second) << "a second process sees the live dialog";
    EXPECT_EQ(1, hotKey);
    EXPECT_EQ(nullptr, pWnd);
}

TEST_F(ShowEntry, AnotherThreadEndsTheDialogThroughTheHandleItsFrameworkReads)
{
    CSefraboxDlg *pWnd = nullptr;
    bool posted = false;
    std::thread caller([&] {
        for (int i = 0; i < 500 && !posted; ++i) {
            // What the framework's PostMessage does with the object it holds.
            const auto *object = *static_cast<CSefraboxDlg *volatile *>(&pWnd);
            HWND hwnd = nullptr;
            if (object)
                std::memcpy(&hwnd, reinterpret_cast<const BYTE *>(object) + SEFRABOX_WND_HANDLE_OFFSET, sizeof hwnd);
            if (hwnd && IsWindow(hwnd) && IsWindowVisible(hwnd))
                posted = PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0) != FALSE;
            else
                Sleep(20);
        }
        if (!posted) // keeps the test from hanging
            PostHotKey(DialogsOf(GetCurrentProcessId()).First());
    });
    const int result = SB_ShowDlg(nullptr, nullptr, nullptr, &pWnd);
    caller.join();
    EXPECT_TRUE(posted) << "no window at the framework's offset of the dialog object";
    EXPECT_EQ(2, result);
}

TEST_F(ShowEntry, AKilledDialogsMountIsCleanedUpByTheNextShow)
{
    CKernelHandle child = StartProgram(BinProgram("show_entry_child.exe") + " show");
    ASSERT_TRUE(child);
    const DWORD pid = GetProcessId(child.Get());
    const HWND childDialog =
        DialogsOf(pid).WaitFor(60000, [&] { return WaitForSingleObject(child.Get(), 0) != WAIT_TIMEOUT; });
    ASSERT_NE(nullptr, childDialog) << "the child ended without showing its dialog";
    EXPECT_NE(0u, m_shared.MountHandle());
    // Refused while the other process's dialog lives.
    EXPECT_EQ(2, SB_ShowDlg(nullptr, nullptr, nullptr, nullptr));
    TerminateProcess(child.Get(), 9);
    WaitForSingleObject(child.Get(), INFINITE);
    child.Reset();
    EXPECT_NE(0u, m_shared.MountHandle()) << "the killed dialog left its mount";

    bool remounted = false;
    RunFromLoop([&] {
        const std::vector<HWND> dialogs = ThreadDialogs();
        ASSERT_EQ(1u, dialogs.size());
        remounted = m_shared.MountHandle() != 0 && !m_shared.VolumeName().empty();
        PostHotKey(dialogs[0]);
    });
    int hotKey = 0;
    EXPECT_EQ(0, SB_ShowDlg(nullptr, nullptr, &hotKey, nullptr));
    EXPECT_TRUE(remounted);
    EXPECT_EQ(1, hotKey);
}

TEST_F(ShowEntry, ABareDialogClosedBesideAnotherProcesssVisitLeavesThatVisitAlone)
{
    CKernelHandle child = StartProgram(BinProgram("show_entry_child.exe") + " show");
    ASSERT_TRUE(child);
    const HWND visit = DialogsOf(GetProcessId(child.Get())).WaitFor(60000, [&] {
        return WaitForSingleObject(child.Get(), 0) != WAIT_TIMEOUT;
    });
    ASSERT_NE(nullptr, visit) << "the child ended without showing its dialog";
    // The other visit opens its first sefra, as its user would, and locks
    // its controls once it has taken its Explorer window over.
    SendMessageA(visit, WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(visit, IDC_PLATFORM1)));
    SetDlgItemTextA(visit, IDC_PWD1, "main");
    SendMessageA(visit, WM_COMMAND, MAKEWPARAM(IDC_ENTER1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(visit, IDC_ENTER1)));
    const std::string drive = m_shared.DriveLetter();
    const DWORD mount = m_shared.MountHandle();
    const HWND explorer = ShownWindows()
                              .OfClass("ExplorerWClass")
                              .Where([&](HWND) { return ControlsEnabled(visit, false); })
                              .WaitFor(60000);
    EXPECT_EQ(2u, drive.size());
    EXPECT_NE(0u, mount);
    EXPECT_NE(nullptr, explorer) << "the visit did not take its Explorer window over";

    RunFromLoop([] { PostMessageA(ThreadDialogs().at(0), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(2, SB_ShowDlgNoInit(nullptr));
    EXPECT_EQ(drive, m_shared.DriveLetter());
    EXPECT_TRUE(DriveExists(drive[0])) << "the visit's drive is gone";
    EXPECT_EQ(mount, m_shared.MountHandle());
    EXPECT_NE(0u, m_shared.DialogAddress());
    EXPECT_TRUE(IsWindow(visit));
    EXPECT_TRUE(explorer && IsWindow(explorer));

    // The visit ends as usual and takes its window, drive and store with it.
    PostHotKey(visit);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.Get(), 60000));
    EXPECT_EQ(0u, ExitCodeOf(child.Get()));
    // The window is asked to close; its own process closes it in its time.
    if (explorer && !PollUntil([&] { return !IsWindow(explorer); }, 60000)) {
        ADD_FAILURE() << "the visit's Explorer window stayed";
        PostMessageA(explorer, WM_CLOSE, 0, 0);
    }
}

TEST_F(ShowEntry, TheOwnerDestroyedInsideTheWrongPasswordBoxEndsTheDialogAndFreesTheLock)
{
    // In a child, bounded: a teardown that waits for the lock its own thread
    // holds never ends.
    ChildOptions options;
    options.timeoutMs = 120000;
    const ChildRun run = RunChild(BinProgram("reliab_kill_child.exe") + " destroy-owner", options);
    EXPECT_FALSE(run.timedOut) << "the dialog's teardown waited for ever";
    EXPECT_EQ(0u, run.exitCode) << "61: the owner stayed, 62: the visit was left in the shared block";
}

TEST_F(ShowEntry, WithParentRefusesUnusableParentsAndShowsOwnedByAGoodOne)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    // Null, unreadable, and a handle that is not a window: refused, lock
    // untouched.
    EXPECT_EQ(2, SB_ShowDlgWithParent(nullptr, nullptr));
    EXPECT_EQ(2, SB_ShowDlgWithParent(reinterpret_cast<CWnd *>(1), nullptr));
    auto notAWindow = std::make_unique<SEFRABOX_WND_OBJECT>();
    notAWindow->hWnd = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(2, SB_ShowDlgWithParent(reinterpret_cast<CWnd *>(notAWindow.get()), nullptr));
    EXPECT_EQ(0, m_shared.Lock());
    EXPECT_EQ(0u, m_shared.MountHandle());

    // The handle where the caller's framework keeps it, nothing at the start.
    auto caller = std::make_unique<SEFRABOX_WND_OBJECT>();
    caller->hWnd = owner;
    HWND ownerSeen = nullptr;
    RunFromLoop([&] {
        const std::vector<HWND> dialogs = ThreadDialogs();
        ASSERT_EQ(1u, dialogs.size());
        ownerSeen = GetWindow(dialogs[0], GW_OWNER);
        PostHotKey(dialogs[0]);
    });
    EXPECT_EQ(0, SB_ShowDlgWithParent(reinterpret_cast<CWnd *>(caller.get()), nullptr));
    EXPECT_EQ(owner, ownerSeen);
    DestroyWindow(owner);
}

TEST_F(ShowEntry, UnwritablePointerIsNeverWrittenAndSessionEndUnmounts)
{
    auto *page = static_cast<CSefraboxDlg **>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, page);
    DWORD old = 0;
    ASSERT_TRUE(VirtualProtect(page, 4096, PAGE_READONLY, &old));
    LRESULT answer = 0;
    bool unmountedAtSessionEnd = false;
    RunFromLoop([&] {
        const std::vector<HWND> dialogs = ThreadDialogs();
        ASSERT_EQ(1u, dialogs.size());
        answer = SendMessageA(dialogs[0], WM_QUERYENDSESSION, 0, 0);
        unmountedAtSessionEnd = m_shared.MountHandle() == 0 && m_shared.VolumeName().empty() && m_shared.Lock() == 0;
        PostHotKey(dialogs[0]);
    });
    EXPECT_EQ(0, SB_ShowDlg(nullptr, nullptr, nullptr, page));
    EXPECT_EQ(1, answer);
    EXPECT_TRUE(unmountedAtSessionEnd);
    EXPECT_EQ(nullptr, *page);
    VirtualFree(page, 0, MEM_RELEASE);
}

TEST_F(ShowEntry, BothEntriesTraceTheirCourseAndAFailedPreparationLeavesNothing)
{
    CTraceCapture trace;
    RunFromLoop([] { PostHotKey(DialogsOf(GetCurrentProcessId()).First()); });
    CSefraboxDlg *pWnd = nullptr;
    EXPECT_EQ(0, SB_ShowDlg(nullptr, nullptr, nullptr, &pWnd));
    const std::vector<std::string> lines = trace.Lines();
    size_t at = 0;
    for (const char *expected :
         {"SB_ShowDlg() of Sefrabox", "*pWnd = 0x", "After CSefraboxDlg::DoModal()", "SB_ShowDlg() soon return."}) {
        while (at < lines.size() && lines[at].find(expected) != 0)
            ++at;
        EXPECT_LT(at, lines.size()) << expected << " missing or out of order";
    }

    // A store that cannot be mounted: refused, the lock free, nothing mounted.
    CTraceCapture failed;
    EXPECT_EQ(2, SB_ShowDlg((m_folder / "NoSuchStore.vpf").c_str(), nullptr, nullptr, &pWnd));
    EXPECT_TRUE(failed.Contains("CSefraboxDlg::Initialize() failed!"));
    EXPECT_TRUE(failed.Contains("SB_ShowDlg() soon return."));
    EXPECT_EQ(nullptr, pWnd);
    ExpectNothingLeft("the failed mount");
    // The parent entry on a platform configuration without a default store.
    const std::string noStore = m_folder / "NoStore.ini";
    ASSERT_TRUE(WriteText(noStore, "[Platforms]\r\nCount=0\r\n"));
    CConfigOverride config(noStore);
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    auto caller = std::make_unique<SEFRABOX_WND_OBJECT>();
    caller->hWnd = owner;
    CTraceCapture parentFailed;
    EXPECT_EQ(2, SB_ShowDlgWithParent(reinterpret_cast<CWnd *>(caller.get()), nullptr));
    EXPECT_TRUE(parentFailed.Contains("SB_ShowDlg() of Sefrabox"));
    EXPECT_TRUE(parentFailed.Contains("CSefraboxDlg::Initialize() failed!"));
    DestroyWindow(owner);
    ExpectNothingLeft("the preparation without a store");

    // Busy: only the plain entry says why.
    volatile LONG *lock = MountVolumeLockOf(GetModuleHandleA("Sefrabox.dll"));
    ASSERT_TRUE(TryTakeLock(lock));
    CTraceCapture busy;
    EXPECT_EQ(2, SB_ShowDlg(nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(busy.Contains("1 == g_MountVolumeLock"));
    *lock = 0;
}

TEST_F(ShowEntry, ADialogAddressThatNoRecordSpeaksForCountsAsAliveAndKeepsItsStore)
{
    // As a dialog leaves whose record cannot be read: nothing shows it gone,
    // so its store and drive are not taken from it.
    const DWORD address = 0x00C0FFE0;
    const char volume[] = "\\\\.\\Q:\\";
    *reinterpret_cast<DWORD *>(m_block + kDialogOffset) = address;
    *reinterpret_cast<DWORD *>(m_block + kMountHandleOffset) = 0x777;
    std::memcpy(m_block + kVolumeNameOffset, volume, sizeof volume);
    std::memcpy(m_block + kDriveLetterOffset, "Q:", 3);

    std::atomic<bool> returned{false}, shown{false};
    std::thread closer([&] { // keeps the test from hanging should a dialog come
        while (!returned) {
            if (HWND dlg = DialogsOf(GetCurrentProcessId()).First()) {
                shown = true;
                PostHotKey(dlg);
            }
            Sleep(50);
        }
    });
    CTraceCapture trace;
    EXPECT_EQ(2, SB_ShowDlg(nullptr, nullptr, nullptr, nullptr));
    returned = true;
    closer.join();
    EXPECT_FALSE(shown);
    EXPECT_TRUE(trace.Contains("g_pSefraboxDlg IsWindow()"));
    EXPECT_EQ(address, m_shared.DialogAddress());
    EXPECT_EQ(0x777u, m_shared.MountHandle());
    EXPECT_EQ(volume, m_shared.VolumeName());
    EXPECT_EQ("Q:", m_shared.DriveLetter());

    *reinterpret_cast<DWORD *>(m_block + kDialogOffset) = 0;
    *reinterpret_cast<DWORD *>(m_block + kMountHandleOffset) = 0;
    std::memset(m_block + kVolumeNameOffset, 0, sizeof volume);
    std::memset(m_block + kDriveLetterOffset, 0, 3);
}

} // namespace
