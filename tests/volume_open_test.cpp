// OpenSefra on the demo world. Explorer mode: the password check, the drive
// that the stand-in driver links to the sefra's folder, its Explorer label
// and the release of the drive. Copy mode: the copy dialog between the
// temporary sefra drive and the platform's drives, and nothing left behind.
#include "shown_drives.h"
#include "files.h"
#include "linked_world_test.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "module/app.h"
#include "product_texts.h"
#include "res/resource.h"
#include "trace_monitor.h"
#include "store/store_mount.h"
#include "suite/Kestor.h"
#include "ui/sefrabox_dlg.h"
#include "ui_support.h"
#include "volume/release_drive.h"
#include "volume/volume_lock.h"
#include "win/handles.h"
#include "win/res_string.h"
#include "window_finders.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kPolls = 500;

// Waits for the module's message box, presses OK and returns its text.
std::string AnswerBox() { return AnswerModuleBox(IDOK); }

std::string LabelOf(char letter) { return DriveLabel(letter).value_or("(none)"); }

// The target a drive name is defined to (DefineDosDeviceA), or "".
std::string DosDeviceOf(const std::string &drive)
{
    char target[1024] = {};
    return QueryDosDeviceA(drive.c_str(), target, sizeof target) ? target : "";
}

// What a copy dialog showed while it was open (or the text of the message
// box that came instead, in dest).
struct CopyDialogView {
    std::string title, dest;
    std::vector<std::string> targets;
    bool throughDrive = false; // a file written to the destination drive reached the sefra folder
    std::string dosDevice;     // what the destination drive name was defined to, if anything
};

// Waits for the copy dialog (its destination label and target list), reads
// it, writes a file through its destination drive and closes it.
CopyDialogView WatchCopyDialog(const std::string &sefraFolder)
{
    CopyDialogView view;
    // Its destination label and target list; a message box may come instead.
    const HWND dlg = ShownWindows().OfClass(kDialogClass).WithControl(1002).WithControl(1001).WaitFor(kPolls * 20, [] {
        return FindModuleBox() != nullptr;
    });
    if (!dlg) {
        if (FindModuleBox())
            view.dest = AnswerBox(); // keeps the test from hanging
        return view;
    }
    char text[256] = {};
    GetWindowTextA(dlg, text, sizeof text);
    view.title = text;
    GetDlgItemTextA(dlg, 1001, text, sizeof text);
    view.dest = text;
    const LRESULT n = SendDlgItemMessageA(dlg, 1002, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char line[256] = {};
        if (SendDlgItemMessageA(dlg, 1002, LB_GETTEXTLEN, i, 0) < LRESULT(sizeof line))
            SendDlgItemMessageA(dlg, 1002, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        view.targets.push_back(line);
    }
    view.dosDevice = DosDeviceOf(view.dest.substr(0, 2));
    view.throughDrive = WriteText(view.dest.substr(0, 2) + "\\copied_in.txt", "copy mode\r\n") &&
                        FileExists(sefraFolder + "\\copied_in.txt");
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < kPolls && IsWindow(dlg); ++i)
        Sleep(20);
    return view;
}

// Runs this thread's messages for about ms milliseconds.
void Pump(DWORD ms)
{
    PumpDialogsUntil([] { return false; }, ms);
}

class OpenSefraWorld : public LinkedWorldTest {
protected:
    void SetUp() override
    {
        LinkedWorldTest::SetUp();
        MakeWorld();
    }

    // Selects the first row and types pwd into its password edit.
    void Choose(CSefraboxDlg &dlg, const char *pwd)
    {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_PLATFORM1)));
        ASSERT_EQ(IDC_PLATFORM1, dlg.StateForTests().m_nSelButton);
        SetDlgItemTextA(dlg, IDC_PWD1, pwd);
    }

    // Closes the dialog and what Initialize opened.
    static void Release(CSefraboxDlg &dlg)
    {
        dlg.DestroyWindow();
        ReleaseStore(dlg);
    }

    // Opens row button in copy mode with pwd, watching the copy dialog (and
    // answering a message box, whose text goes to box, when one comes).
    CopyDialogView OpenInCopyMode(CSefraboxDlg &dlg, int button, const char *pwd, std::string *box = nullptr)
    {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(dlg.GetDlgItem(button)));
        SetDlgItemTextA(dlg, button + 3, pwd);
        const size_t index = size_t(button - IDC_PLATFORM1);
        const std::string folder = Content() + "\\" + dlg.StateForTests().m_slTarget.at(index);
        CopyDialogView view;
        std::thread watch([&] {
            if (box)
                *box = AnswerBox();
            else
                view = WatchCopyDialog(folder);
        });
        dlg.OpenSefra();
        watch.join();
        return view;
    }

    // Adds drive Z to the disks the stand-in driver reports.
    void AddDiskZ()
    {
        const std::string ini = m_folder / "Platforms.ini";
        WritePrivateProfileStringA("Disks", "Count", "4", ini.c_str());
        WritePrivateProfileStringA("Disks", "Device4", "Z,1,0x00000900", ini.c_str());
    }

    std::string Content() const { return m_world.Content(); }
};

TEST_F(OpenSefraWorld, WrongPasswordIsRefusedAndRightOneInAnyCaseGivesTheDrive)
{
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    ASSERT_FALSE(dlg.StateForTests().m_slTarget.empty());
    const std::string folder = Content() + "\\" + dlg.StateForTests().m_slTarget[0];
    const DWORD storeDrives = GetLogicalDrives(); // the store volume's own drive included

    // A wrong password: the stop box, no drive, the edit emptied.
    Choose(dlg, "mian");
    std::string box;
    std::thread answer([&] { box = AnswerBox(); });
    dlg.OpenSefra();
    answer.join();
    EXPECT_EQ(kWrongPassword, box);
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_EQ(storeDrives, GetLogicalDrives());
    EXPECT_EQ("", CWindow::GetWindowTextOf(dlg.GetDlgItem(IDC_PWD1)));

    // A record that cannot be read holds no empty password.
    const std::string profile = dlg.StateForTests().m_szSefrabox;
    dlg.StateForTests().m_szSefrabox += ".gone";
    Choose(dlg, "");
    std::thread unreadable([&] { box = AnswerBox(); });
    dlg.OpenSefra();
    unreadable.join();
    dlg.StateForTests().m_szSefrabox = profile;
    EXPECT_EQ(kOpenSefraFailed, box);
    EXPECT_EQ(storeDrives, GetLogicalDrives());

    // The stored password in other letter case, through the arrow button.
    Choose(dlg, "MaIn");
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ENTER1, BN_CLICKED),
                    reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_ENTER1)));
    const char letter = g_szDriveLetter[0];
    ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
    EXPECT_EQ(std::string(1, letter) + ":", std::string(g_szDriveLetter));
    EXPECT_EQ(std::string(1, letter) + ":\\", dlg.StateForTests().m_szDrivePath);
    EXPECT_EQ(dlg.StateForTests().m_slSefraName[0], dlg.StateForTests().m_szSefraName);
    EXPECT_EQ(dlg.StateForTests().m_szSefraName, LabelOf(letter));
    EXPECT_TRUE(DriveExists(letter));
    EXPECT_EQ("", CWindow::GetWindowTextOf(dlg.GetDlgItem(IDC_PWD1)));
    // The opening dialog waits over the disabled main dialog for the shell's
    // word that the drive arrived; here the test ends it.
    ASSERT_TRUE(dlg.StateForTests().m_pOpenningDlg && dlg.StateForTests().m_pOpenningDlg->IsWindow());
    EXPECT_TRUE(IsWindowVisible(*dlg.StateForTests().m_pOpenningDlg));
    EXPECT_FALSE(dlg.IsWindowEnabled());
    dlg.StateForTests().m_pOpenningDlg->EndDialog(0);
    dlg.EnableWindow(true);

    // The drive leads to the sefra's folder.
    const std::string through = dlg.StateForTests().m_szDrivePath + "via_drive.txt";
    ASSERT_TRUE(WriteText(through, "written through the drive\r\n"));
    EXPECT_TRUE(FileExists(folder + "\\via_drive.txt"));
    EXPECT_TRUE(FileExists(dlg.StateForTests().m_szDrivePath + "readme.txt"));

    // A second open while the drive stands does nothing.
    Choose(dlg, "main");
    dlg.OpenSefra();
    EXPECT_EQ(std::string(1, letter) + ":", std::string(g_szDriveLetter));

    {
        CMountVolumeLockHolder lock(kLockPollEntryMs);
        ReleaseSefraDrive();
    }
    EXPECT_FALSE(DriveExists(letter));
    EXPECT_EQ(storeDrives, GetLogicalDrives());
    EXPECT_EQ("(none)", LabelOf(letter));
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    Release(dlg);
}

TEST_F(OpenSefraWorld, WorkArrivingWhileTheWrongPasswordBoxHoldsTheLockRunsOnceAfterIt)
{
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    Choose(dlg, "wrong");
    CTraceCapture trace;
    // Both come from the box's own message loop: the fallback timer fires
    // and a shell window registers.
    SetTimer(dlg, VERIFY_NEW_WINDOWS, 1, nullptr);
    RunFromLoop([&dlg] {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        dlg.GetIDispatch()->Invoke(DISPID_WINDOWREGISTERED, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                                   nullptr);
    });
    std::string box;
    std::thread answer([&] {
        auto bothWaited = [&] {
            return trace.Contains("VERIFY_NEW_WINDOWS waits") && trace.Contains("WindowRegistered() waits");
        };
        for (int i = 0; i < kPolls && !bothWaited(); ++i)
            Sleep(20);
        if (!bothWaited()) {
            ADD_FAILURE() << "a handler waits for the lock its own thread holds";
            g_MountVolumeLock = 0; // lets it go on, so that the test ends
        }
        box = AnswerBox();
    });
    dlg.OpenSefra();
    answer.join();
    EXPECT_EQ(kWrongPassword, box);

    const char verified[] = "VERIFY_NEW_WINDOWS gained g_MountVolumeLock";
    const char registered[] = "CSefraboxDlg::WindowRegistered() gained g_MountVolumeLock";
    for (int i = 0; i < kPolls / 10 && trace.Count(verified) + trace.Count(registered) < 2; ++i)
        Pump(100);
    Pump(500); // room for a second run, which must not come
    EXPECT_EQ(1u, trace.Count(verified));
    EXPECT_EQ(1u, trace.Count(registered));
    EXPECT_EQ(0, g_MountVolumeLock);
    Release(dlg);
}

// A system whose lock refuses while another handle is open on the volume,
// as this machine's never does: the requests are counted, and granted from
// request number g_grantFrom on (0: never).
int g_lockRequests = 0;
int g_grantFrom = 0;

BOOL TruthfulLock(HANDLE)
{
    ++g_lockRequests;
    if (g_grantFrom != 0 && g_lockRequests >= g_grantFrom)
        return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

BOOL TruthfulUnlock(HANDLE) { return TRUE; }

const VolumeLockCalls kTruthfulLock{TruthfulLock, TruthfulUnlock};

TEST_F(OpenSefraWorld, TheVolumeLockAloneAnswersOnlyWhereTheSystemRefusesItTruthfully)
{
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    const std::string file = dlg.StateForTests().m_szVolumeName + "Sefrabox.ini";
    auto hold = [&file] {
        return CFileHandle(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    };
    // This machine grants a lock even with a handle of ours open: the
    // open-files probe answers, and sees a held file.
    EXPECT_EQ(VolumeLockAnswer::Untruthful,
              DetectVolumeLockAnswer(dlg.StateForTests().m_hVolume.Get(), dlg.StateForTests().m_szVolumeName));
    CFileHandle held = hold();
    ASSERT_TRUE(held);
    EXPECT_FALSE(dlg.LockVolume());
    held.Reset();
    EXPECT_TRUE(dlg.LockVolume());
    EXPECT_TRUE(dlg.UnLockVolume());

    // Where the lock is truthful it is asked ten times, and the probe never
    // overrules it: a held file does not refuse a lock the system grants.
    g_grantFrom = 0;
    EXPECT_EQ(VolumeLockAnswer::Truthful, DetectVolumeLockAnswer(dlg.StateForTests().m_hVolume.Get(),
                                                                 dlg.StateForTests().m_szVolumeName, kTruthfulLock));
    g_lockRequests = 0;
    EXPECT_FALSE(
        LockStoreVolume(dlg.StateForTests().m_hVolume.Get(), dlg.StateForTests().m_szVolumeName, kTruthfulLock));
    EXPECT_EQ(1 + 10, g_lockRequests) << "the question, then ten attempts";
    held = hold();
    g_lockRequests = 0;
    g_grantFrom = 2; // the question is refused, the first attempt granted
    EXPECT_TRUE(
        LockStoreVolume(dlg.StateForTests().m_hVolume.Get(), dlg.StateForTests().m_szVolumeName, kTruthfulLock));
    EXPECT_EQ(2, g_lockRequests);
    held.Reset();
    Release(dlg);
}

TEST_F(OpenSefraWorld, CopyModeListsTheTargetsWithThePlatformDriveLastAndGivesEverythingBack)
{
    AddDiskZ();
    int result = 0;
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, &result, TRUE));
    ASSERT_TRUE(dlg.Create());
    ASSERT_GE(dlg.StateForTests().m_slTarget.size(), 2u);
    const DWORD storeDrives = GetLogicalDrives();

    // The first row: no disk is mounted; the driver's own Z is dropped and
    // comes back once, last and writable, as the platform's entry.
    CTraceCapture trace;
    CopyDialogView view = OpenInCopyMode(dlg, IDC_PLATFORM1, "main");
    EXPECT_EQ(kCopyTitle, view.title);
    ASSERT_EQ(3u, view.targets.size()) << "D, E and the platform's Z";
    EXPECT_EQ(0u, view.targets[0].find("D:"));
    EXPECT_EQ(std::string("Z:  ") + kMainSystem + kDriveCSuffix + "  [writable]", view.targets[2]);
    EXPECT_NE(std::string::npos, view.dest.find(dlg.StateForTests().m_slSefraName[0] + "  [writable]")) << view.dest;
    EXPECT_TRUE(view.throughDrive);
    EXPECT_FALSE(trace.Contains("Before UnMount_Volume"));
    EXPECT_EQ(storeDrives, GetLogicalDrives()) << "the temporary drive was left";
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_TRUE(dlg.IsWindowEnabled());
    EXPECT_FALSE(dlg.StateForTests().m_pOpenningDlg && dlg.StateForTests().m_pOpenningDlg->IsWindow());
    EXPECT_EQ("", CWindow::GetWindowTextOf(dlg.GetDlgItem(IDC_PWD1)));

    // The second row: its platform's disk is mounted for the dialog, listed
    // last under the platform file's label, and unmounted afterwards.
    // Its rules show D writable and hide E (C is never listed).
    view = OpenInCopyMode(dlg, IDC_PLATFORM2, "work1");
    ASSERT_EQ(2u, view.targets.size()) << view.dest;
    EXPECT_EQ("D:  [writable]", view.targets[0]);
    EXPECT_EQ(":  " + m_world / "Work.vpf" + kDriveCSuffix + "  [writable]", view.targets[1].substr(1));
    EXPECT_TRUE(view.throughDrive);
    EXPECT_TRUE(trace.Contains("After Dravel_MountDriverByFileName()"));
    EXPECT_TRUE(trace.Contains("After UnMount_Volume()"));
    EXPECT_EQ(storeDrives, GetLogicalDrives()) << "a drive was left";
    EXPECT_TRUE(dlg.IsWindowEnabled());
    Release(dlg);
}

TEST_F(OpenSefraWorld, CopyModeFailingAfterTheLinkStillRemovesTheTemporaryDrive)
{
    int result = 0;
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, &result, TRUE));
    ASSERT_TRUE(dlg.Create());
    ASSERT_GE(dlg.StateForTests().m_slSefraFile.size(), 2u);
    const DWORD storeDrives = GetLogicalDrives();

    // The platform's disk file is gone: the mount fails after the sefra's
    // drive was linked.
    ASSERT_TRUE(DeleteFileA(dlg.StateForTests().m_slSefraFile[1].c_str()));
    CTraceCapture trace;
    std::string box;
    OpenInCopyMode(dlg, IDC_PLATFORM2, "work1", &box);
    EXPECT_EQ(0u, box.find(FillText(kOpenFailedFormat, {dlg.StateForTests().m_slSefraFile[1], ""}))) << box;
    EXPECT_TRUE(trace.Contains("Before Dravel_MountDriverByFileName()"));
    EXPECT_FALSE(trace.Contains("Before copy_file_dialog()"));
    EXPECT_EQ(storeDrives, GetLogicalDrives()) << "the temporary drive was left";
    EXPECT_TRUE(dlg.IsWindowEnabled());
    EXPECT_FALSE(dlg.StateForTests().m_pOpenningDlg && dlg.StateForTests().m_pOpenningDlg->IsWindow());

    // The wrong password in copy mode links nothing either.
    OpenInCopyMode(dlg, IDC_PLATFORM2, "wrong", &box);
    EXPECT_EQ(kWrongPassword, box);
    EXPECT_EQ(storeDrives, GetLogicalDrives());
    Release(dlg);
}

// The XP family's links, as the library makes them where the system reports
// NT 5.1 or 5.2 (g_bXpFamily 1; xp_family_test shows the flag so decided):
// DefineDosDeviceA, whose links Wine records without file access through them.
class OpenSefraXp : public OpenSefraWorld {
protected:
    void SetUp() override
    {
        OpenSefraWorld::SetUp();
        g_bXpFamily = 1;
    }
    void TearDown() override
    {
        g_bXpFamily = 0;
        OpenSefraWorld::TearDown();
    }
};

TEST_F(OpenSefraXp, ExplorerModeDefinesTheDriveAndItsReleaseRemovesIt)
{
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    Choose(dlg, "main");
    dlg.OpenSefra();
    const std::string drive = g_szDriveLetter;
    ASSERT_EQ(2u, drive.size());
    const std::string target = DosDeviceOf(drive);
    EXPECT_EQ(target.size() - dlg.StateForTests().m_slTarget[0].size(), target.rfind(dlg.StateForTests().m_slTarget[0]))
        << target;
    EXPECT_EQ(dlg.StateForTests().m_szSefraName, LabelOf(drive[0]));
    EXPECT_EQ(drive + "\\", dlg.StateForTests().m_szDrivePath);
    ASSERT_TRUE(dlg.StateForTests().m_pOpenningDlg && dlg.StateForTests().m_pOpenningDlg->IsWindow());
    dlg.StateForTests().m_pOpenningDlg->EndDialog(0);
    dlg.EnableWindow(true);

    {
        CMountVolumeLockHolder lock(kLockPollEntryMs);
        ReleaseSefraDrive();
    }
    EXPECT_EQ("", DosDeviceOf(drive));
    EXPECT_EQ("(none)", LabelOf(drive[0]));
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    Release(dlg);
}

TEST_F(OpenSefraXp, CopyModeDefinesTheTemporaryDriveForTheCopyDialogOnly)
{
    int result = 0;
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, &result, TRUE));
    ASSERT_TRUE(dlg.Create());
    const CopyDialogView view = OpenInCopyMode(dlg, IDC_PLATFORM1, "main");
    ASSERT_GE(view.dest.size(), 2u);
    const std::string &target = view.dosDevice;
    EXPECT_EQ(target.size() - dlg.StateForTests().m_slTarget[0].size(), target.rfind(dlg.StateForTests().m_slTarget[0]))
        << target;
    EXPECT_EQ("", DosDeviceOf(view.dest.substr(0, 2)));
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    Release(dlg);
}

} // namespace
