// OpenSefra in Explorer mode on the demo world: the password check, the
// drive that the stand-in driver links to the sefra's folder, its Explorer
// label and the release of the drive.
#include "Kestor.h"
#include "module/app.h"
#include "module/mount_lock.h"
#include "module/shared_block.h"
#include "palmet_test_util.h"
#include "res/resource.h"
#include "ui/sefrabox_dlg.h"
#include "volume/release_drive.h"
#include "win/handles.h"
#include "win/res_string.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using palmet_test::ConfigOverride;
using palmet_test::Exists;
using palmet_test::TempFolder;

namespace {

const char kSafe[] = "\xB1\xA3\xCF\xD5\xCF\xE4"; // 保险箱
const char kIcons[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\";
constexpr int kPolls = 500;

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM l)
{
    char cls[16] = {}, title[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    if (IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0 && lstrcmpA(title, kSafe) == 0 &&
        GetDlgItem(hwnd, 0xFFFF)) {
        *reinterpret_cast<HWND *>(l) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Waits for the module's message box, presses OK and returns its text.
std::string AnswerBox()
{
    for (int i = 0; i < kPolls; ++i) {
        HWND box = nullptr;
        EnumWindows(FindBoxProc, reinterpret_cast<LPARAM>(&box));
        if (box) {
            char text[256] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return text;
        }
        Sleep(20);
    }
    return "(no message box)";
}

std::string LabelOf(char letter)
{
    CRegKey key;
    const std::string path = std::string(kIcons) + letter + "\\DefaultLabel";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return "(none)";
    char buf[128] = {};
    DWORD cb = sizeof buf - 1;
    RegQueryValueExA(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(buf), &cb);
    return buf;
}

bool DriveExists(char letter) { return (GetLogicalDrives() >> (letter - 'A')) & 1; }

class OpenSefraWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hSefraboxInstance = GetModuleHandleA(nullptr);
        m_drivesBefore = GetLogicalDrives();
        ASSERT_EQ(0u, palmet_test::RunProgram("make_demo_world.exe", "\"" + m_folder.Path() + "\""));
        m_config = std::make_unique<ConfigOverride>(m_folder / "Platforms.ini");
    }

    void TearDown() override
    {
        EXPECT_EQ(m_drivesBefore, GetLogicalDrives()) << "a drive was left behind";
        EXPECT_TRUE(TryAcquireMountVolumeLock()) << "the mount lock was left held";
        ReleaseMountVolumeLock();
    }

    // Selects the first row and types pwd into its password edit.
    void Choose(CSefraboxDlg &dlg, const char *pwd)
    {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_PLATFORM1)));
        ASSERT_EQ(IDC_PLATFORM1, dlg.m_nSelButton);
        SetDlgItemTextA(dlg, IDC_PWD1, pwd);
    }

    // Closes what Initialize opened: the store volume and its mount.
    void Release(CSefraboxDlg &dlg)
    {
        dlg.DestroyWindow();
        if (dlg.m_hVolume != INVALID_HANDLE_VALUE)
            CloseHandle(dlg.m_hVolume);
        dlg.m_hVolume = INVALID_HANDLE_VALUE;
        if (dlg.m_hPlatformChannel != INVALID_HANDLE_VALUE)
            CloseHandle(dlg.m_hPlatformChannel);
        dlg.m_hPlatformChannel = INVALID_HANDLE_VALUE;
        if (g_dwMountHandle != 0) {
            EXPECT_EQ(0u, UnMount_Volume(255, g_dwMountHandle));
        }
        g_dwMountHandle = 0;
        g_szVolumeName[0] = '\0';
    }

    std::string Content() const { return m_folder / "Sefra.vpf.files"; }

    TempFolder m_folder;
    std::unique_ptr<ConfigOverride> m_config;
    DWORD m_drivesBefore = 0;
};

TEST_F(OpenSefraWorld, WrongPasswordIsRefusedAndRightOneInAnyCaseGivesTheDrive)
{
    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create());
    ASSERT_FALSE(dlg.m_slTarget.empty());
    const std::string folder = Content() + "\\" + dlg.m_slTarget[0];
    const DWORD storeDrives = GetLogicalDrives(); // the store volume's own drive included

    // A wrong password: the stop box, no drive, the edit emptied.
    Choose(dlg, "mian");
    std::string box;
    std::thread answer([&] { box = AnswerBox(); });
    dlg.OpenSefra();
    answer.join();
    EXPECT_EQ(LoadResString(IDS_WRONG_PASSWORD), box);
    EXPECT_EQ('\0', g_szDriveLetter[0]);
    EXPECT_EQ(storeDrives, GetLogicalDrives());
    EXPECT_EQ("", CWindow::GetWindowTextOf(dlg.GetDlgItem(IDC_PWD1)));

    // The stored password in other letter case, through the arrow button.
    Choose(dlg, "MaIn");
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ENTER1, BN_CLICKED),
                    reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_ENTER1)));
    const char letter = g_szDriveLetter[0];
    ASSERT_TRUE(letter >= 'A' && letter <= 'Z') << g_szDriveLetter;
    EXPECT_EQ(std::string(1, letter) + ":", std::string(g_szDriveLetter));
    EXPECT_EQ(std::string(1, letter) + ":\\", dlg.m_szDrivePath);
    EXPECT_EQ(dlg.m_slSefraName[0], dlg.m_szSefraName);
    EXPECT_EQ(dlg.m_szSefraName, LabelOf(letter));
    EXPECT_TRUE(DriveExists(letter));
    EXPECT_EQ("", CWindow::GetWindowTextOf(dlg.GetDlgItem(IDC_PWD1)));
    // The opening dialog waits over the disabled main dialog for the shell's
    // word that the drive arrived; here the test ends it.
    ASSERT_TRUE(dlg.m_pOpenningDlg && dlg.m_pOpenningDlg->IsWindow());
    EXPECT_TRUE(IsWindowVisible(*dlg.m_pOpenningDlg));
    EXPECT_FALSE(dlg.IsWindowEnabled());
    dlg.m_pOpenningDlg->EndDialog(0);
    dlg.EnableWindow(true);

    // The drive leads to the sefra's folder.
    const std::string through = dlg.m_szDrivePath + "via_drive.txt";
    ASSERT_TRUE(palmet_test::WriteText(through, "written through the drive\r\n"));
    EXPECT_TRUE(Exists(folder + "\\via_drive.txt"));
    EXPECT_TRUE(Exists(dlg.m_szDrivePath + "readme.txt"));

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

} // namespace
