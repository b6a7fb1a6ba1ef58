// Initialize, the disk check and the sefra list of the main dialog, on the
// demo world that the stand-in libraries serve: real mounts, the real
// profile file, the dialog's real buttons.
#include "files.h"
#include "linked_world_test.h"
#include "product_texts.h"
#include "res/resource.h"
#include "trace_monitor.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "ui_support.h"
#include "world_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string ReadValue(const std::string &file, const char *section, const char *key)
{
    char value[128] = {};
    GetPrivateProfileStringA(section, key, "?", value, sizeof value, file.c_str());
    return value;
}

BYTE DirtyByte(const std::string &container)
{
    BYTE boot[512] = {};
    HANDLE h = CreateFileA(container.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    DWORD read = 0;
    ReadFile(h, boot, sizeof boot, &read, nullptr);
    CloseHandle(h);
    return boot[0x41];
}

// The captions of the dialog's row buttons that show, top to bottom. The
// dialog itself need not be shown: the buttons' own style tells.
std::vector<std::string> Rows(HWND dialog)
{
    std::vector<std::string> rows;
    for (int id = IDC_PLATFORM1; id <= IDC_PLATFORM3; ++id)
        if (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE)
            rows.push_back(WindowTitle(GetDlgItem(dialog, id)));
    return rows;
}

class StoreWorld : public LinkedWorldTest {
protected:
    // The disk check's debug switch stops the check with a box that only
    // its own test answers; a run killed inside that test leaves it on.
    void SetUp() override
    {
        LinkedWorldTest::SetUp();
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Brannick", "DebugSefra");
    }
    void Release(CSefraboxDlg &dlg) { ReleaseStore(dlg); }

    std::string Store() const { return m_world.Store(); }
    std::string Content() const { return m_world.Content(); }
};

// What the suite's programs and the person see once the dialog is prepared:
// the default store mounted and named in the shared block, its profile
// read through it, a row for each sefra, the main system's first; and the
// caller's result word, which the dialog's Cancel writes after its restart
// question.
TEST_F(StoreWorld, MountsTheDefaultStoreAndShowsARowPerSefra)
{
    MakeWorld();
    CSefraboxDlg dlg(nullptr);
    int word = 7;
    ASSERT_TRUE(dlg.Initialize(nullptr, &word, FALSE));
    EXPECT_NE(0u, m_shared.MountHandle());
    EXPECT_EQ(m_before.mounts + 1, TakeMachineState().mounts);
    const std::string volume = m_shared.VolumeName();
    ASSERT_FALSE(volume.empty());
    EXPECT_EQ('\\', volume.back());
    ASSERT_FALSE(m_shared.MountDeviceName().empty());
    EXPECT_EQ('\\', m_shared.MountDeviceName().back());
    // The demo store's profile (not another platform's file).
    EXPECT_EQ("WorkSefra", ReadValue(volume + "Sefrabox.ini", "2", "Target"));

    ASSERT_TRUE(dlg.Create()); // runs LoadSefraList
    EXPECT_EQ((std::vector<std::string>{std::string(kMainSystem) + kProductName,
                                        std::string(kDemoWorkPlatform) + kProductName,
                                        std::string(kDemoPlayPlatform) + kProductName}),
              Rows(dlg));
    bool asked = false;
    RunFromLoop([&asked] {
        const HWND restart = ShownWindows().OfThread(GetCurrentThreadId()).WithControl(IDC_RESTART).First();
        asked = restart != nullptr;
        PostMessageA(restart, WM_COMMAND, IDCANCEL, 0);
    });
    dlg.SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(asked);
    EXPECT_EQ(0, word);
    dlg.DestroyWindow();
    Release(dlg);
}

TEST_F(StoreWorld, LaterDefaultStorePlatformWins)
{
    MakeWorld();
    // A second default-store entry after the first one.
    const std::string config = m_folder / "Platforms.ini";
    WritePrivateProfileStringA("Platforms", "Count", "4", config.c_str());
    WritePrivateProfileStringA("Platform4", "Number", "9", config.c_str());
    WritePrivateProfileStringA("Platform4", "Kind", "2", config.c_str());
    WritePrivateProfileStringA("Platform4", "File", (m_folder / "Later.vpf").c_str(), config.c_str());
    WritePrivateProfileStringA("Platform4", "Name", "later", config.c_str());

    CSefraboxDlg dlg(nullptr);
    CTraceCapture trace;
    EXPECT_FALSE(dlg.Initialize(nullptr, nullptr, TRUE)); // Later.vpf does not exist
    EXPECT_TRUE(trace.Contains("Sefra file name: " + m_folder / "Later.vpf"));
    EXPECT_EQ(INVALID_HANDLE_VALUE, dlg.StateForTests().m_hPlatformChannel.Get());
    EXPECT_EQ(0u, m_shared.MountHandle());
}

TEST_F(StoreWorld, FailuresLeaveNothingMounted)
{
    // No platform configuration: the channel cannot be opened.
    {
        CConfigOverride none(m_folder / "missing.ini");
        CSefraboxDlg dlg(nullptr);
        EXPECT_FALSE(dlg.Initialize(nullptr, nullptr, TRUE));
        EXPECT_EQ(INVALID_HANDLE_VALUE, dlg.StateForTests().m_hPlatformChannel.Get());
    }
    MakeWorld();
    // A store file that is not there.
    {
        CSefraboxDlg dlg(nullptr);
        EXPECT_FALSE(dlg.Initialize((m_folder / "nothing.vpf").c_str(), nullptr, FALSE));
        EXPECT_EQ(INVALID_HANDLE_VALUE, dlg.StateForTests().m_hVolume.Get());
        EXPECT_EQ(INVALID_HANDLE_VALUE, dlg.StateForTests().m_hPlatformChannel.Get());
    }
    // An unreadable name changes nothing at all.
    {
        CSefraboxDlg dlg(nullptr);
        void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
        EXPECT_FALSE(dlg.Initialize(static_cast<const char *>(page), nullptr, FALSE));
        VirtualFree(page, 0, MEM_RELEASE);
        EXPECT_TRUE(dlg.StateForTests().m_szSefraFile.empty());
        EXPECT_TRUE(dlg.StateForTests().m_daIndex.empty());
    }
    // A mount left by someone else with the check skipped: no volume path,
    // 123, and that mount is given back.
    {
        char volume[768] = {};
        DWORD handle = 0;
        ASSERT_EQ(0u, MountStoreVolume(Store().c_str(), &handle, volume));
        g_dwMountHandle = handle;
        CSefraboxDlg dlg(nullptr);
        EXPECT_FALSE(dlg.Initialize(Store().c_str(), nullptr, TRUE));
        EXPECT_TRUE(dlg.StateForTests().m_szVolumeName.empty());
        EXPECT_EQ(0u, g_dwMountHandle);
        EXPECT_NE(0u, UnMount_Volume(255, handle)) << "the mount was already released";
    }
}

TEST_F(StoreWorld, DirtyStoreIsCheckedAndItsLeftoversRemoved)
{
    MakeWorld("--dirty --leftovers");
    ASSERT_NE(0, DirtyByte(Store()));
    WriteText(Content() + "\\FILE-list.txt", "user file that begins with FILE");
    // Names differ from the prefix only in case: kept. (One folder cannot
    // hold FILE-list.txt and file-list.txt at once.)
    WriteText(Content() + "\\file-notes.txt", "kept");
    CreateDirectoryA((Content() + "\\FOUND.001").c_str(), nullptr);
    WriteText(Content() + "\\FOUND.001\\x.chk", "x");
    // A leftover folder whose name ends in a trail byte of '\' (私密誠), and a
    // sefra whose name begins like the leftovers.
    const std::string doubleByte = Content() + "\\FOUND.002\\\xCB\xBD\xC3\xDC\xD5\x5C";
    MakeFolder(Content() + "\\FOUND.002");
    MakeFolder(doubleByte);
    WriteText(doubleByte + "\\x.chk", "x");
    WritePrivateProfileStringA("1", "Target", "Foundry", (Content() + "\\Sefrabox.ini").c_str());
    MakeFolder(Content() + "\\Foundry");
    WriteText(Content() + "\\Foundry\\mine.txt", "kept");

    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, FALSE));
    EXPECT_EQ(0, DirtyByte(Store()));
    EXPECT_FALSE(FileExists(Content() + "\\FOUND.000"));
    EXPECT_FALSE(FileExists(Content() + "\\FOUND.001"));
    EXPECT_FALSE(FileExists(Content() + "\\FOUND.002"));
    EXPECT_TRUE(FileExists(Content() + "\\Foundry\\mine.txt"));
    EXPECT_FALSE(FileExists(Content() + "\\FILE0000.CHK"));
    EXPECT_FALSE(FileExists(Content() + "\\FILE-list.txt"));
    EXPECT_TRUE(FileExists(Content() + "\\file-notes.txt"));
    EXPECT_TRUE(FileExists(Content() + "\\Sefrabox.ini"));
    // The store was mounted again after the check.
    EXPECT_NE(0u, g_dwMountHandle);
    Release(dlg);
}

TEST_F(StoreWorld, DebugSwitchShowsTheDriveBeforeTheCheck)
{
    MakeWorld("--dirty");
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Brannick", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    const DWORD one = 1;
    RegSetValueExA(key, "DebugSefra", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&one), sizeof one);

    // Answers the box from another thread, remembering its text.
    std::atomic<bool> stop{false};
    std::string seen;
    std::thread watcher([&] { seen = AnswerModuleBox(IDOK, 60000, [&] { return stop.load(); }); });
    CSefraboxDlg dlg(nullptr);
    const BOOL ok = dlg.Initialize(nullptr, nullptr, FALSE);
    stop = true;
    watcher.join();
    RegDeleteValueA(key, "DebugSefra");
    RegCloseKey(key);

    EXPECT_TRUE(ok);
    EXPECT_EQ(0u, seen.find("Mount successful with driver ")) << seen;
    EXPECT_EQ(':', seen.back());
    Release(dlg);
}

TEST_F(StoreWorld, SefraListFillsButtonsWithoutGapsAndWipesStaleSefras)
{
    MakeWorld();
    // Record 1 (platform 255) loses its Target, record 4 is never read; a
    // record of a platform that is gone replaces record 3.
    const std::string profile = Content() + "\\Sefrabox.ini";
    WritePrivateProfileStringA("1", "Target", "", profile.c_str());
    WritePrivateProfileStringA("3", "id", "77", profile.c_str());
    const std::string stale = Content() + "\\" + ReadValue(profile, "3", "Target");
    ASSERT_TRUE(FileExists(stale));
    // A name that already carries the word is shown unchanged.
    const std::string config = m_folder / "Platforms.ini";
    const std::string named = std::string("Work") + kProductName;
    WritePrivateProfileStringA("Platform1", "Name", named.c_str(), config.c_str());

    CSefraboxDlg dlg(nullptr);
    ASSERT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
    ASSERT_TRUE(dlg.Create()); // runs LoadSefraList

    EXPECT_EQ(std::vector<std::string>{named}, Rows(dlg));
    EXPECT_EQ("WorkSefra", dlg.StateForTests().m_slTarget.at(0));
    ASSERT_EQ(1u, dlg.StateForTests().m_daRecord.size());
    EXPECT_EQ(2u, dlg.StateForTests().m_daRecord[0]);
    // The stale sefra lost its folder and its password, kept its record.
    EXPECT_FALSE(FileExists(stale));
    EXPECT_EQ("", ReadValue(profile, "3", "Password"));
    EXPECT_EQ("77", ReadValue(profile, "3", "id"));

    dlg.DestroyWindow();
    Release(dlg);
}

TEST_F(StoreWorld, NoRowAndNoWipeReachesBeyondASefrasOwnFolder)
{
    MakeWorld();
    const std::string profile = Content() + "\\Sefrabox.ini";
    auto records = [&](const char *target1, const char *id3, const char *target3) {
        WritePrivateProfileStringA("1", "Target", target1, profile.c_str());
        WritePrivateProfileStringA("3", "id", id3, profile.c_str());
        WritePrivateProfileStringA("3", "Target", target3, profile.c_str());
        CSefraboxDlg dlg(nullptr);
        EXPECT_TRUE(dlg.Initialize(nullptr, nullptr, TRUE));
        EXPECT_TRUE(dlg.Create()); // runs LoadSefraList
        const std::vector<DWORD> rows = dlg.StateForTests().m_daRecord;
        dlg.DestroyWindow();
        Release(dlg);
        return rows;
    };
    // The main system's record names the store's root or platform 1's
    // sefra as the path rules read it; a stale record (no such platform)
    // names the root, or platform 1's sefra in other letter case.
    EXPECT_EQ(std::vector<DWORD>{2}, records("...", "-5", "worksefra"));
    EXPECT_EQ(std::vector<DWORD>{2}, records("WorkSefra.", "-7", "' '"));
    EXPECT_EQ(std::vector<DWORD>{2}, records("NUL", "-9", "WORKSEFRA"));
    for (const char *sefra : {"MainSefra", "WorkSefra", "PlaySefra"})
        EXPECT_TRUE(FileExists(Content() + "\\" + sefra + "\\readme.txt")) << sefra;
    EXPECT_EQ("work1", ReadValue(profile, "2", "Password"));
    EXPECT_EQ("play2", ReadValue(profile, "3", "Password")) << "a stale record whose folder stays keeps its password";
}

TEST_F(StoreWorld, SefrasAreKeptWhileTheServiceCannotListItsPlatforms)
{
    MakeWorld();
    const std::string config = m_folder / "Platforms.ini";
    const std::string profile = Content() + "\\Sefrabox.ini";
    auto showSefras = [&] {
        CSefraboxDlg dlg(nullptr);
        EXPECT_TRUE(dlg.Initialize(Store().c_str(), nullptr, TRUE));
        EXPECT_TRUE(dlg.Create()); // runs LoadSefraList
        const std::vector<DWORD> records = dlg.StateForTests().m_daRecord;
        dlg.DestroyWindow();
        Release(dlg);
        return records;
    };

    // The service fails: only the main system is known, and nothing of the
    // other platforms' sefras is touched.
    WritePrivateProfileStringA("Service", "InitVPFInfo", "1722", config.c_str());
    EXPECT_EQ(std::vector<DWORD>{1}, showSefras());
    for (const char *record : {"2", "3"}) {
        EXPECT_TRUE(FileExists(Content() + "\\" + ReadValue(profile, record, "Target") + "\\readme.txt")) << record;
        EXPECT_NE("", ReadValue(profile, record, "Password")) << record;
    }

    // Once the service answers again, every sefra is there to open.
    WritePrivateProfileStringA("Service", "InitVPFInfo", nullptr, config.c_str());
    EXPECT_EQ((std::vector<DWORD>{1, 2, 3}), showSefras());
}

} // namespace
