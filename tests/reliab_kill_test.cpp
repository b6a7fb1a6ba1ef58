// reliab_kill_test.cpp - processes killed (TerminateProcess) at the critical
// points of a visit on the demo world, and what the next caller finds: the
// lock taken over from the dead holder, the dead process's drive and store
// mount removed, the profile's records and passwords whole, the other
// sefras' files untouched. Prints the figures at the end.
#include "Sefrabox.h"
#include "shown_drives.h"
#include "files.h"
#include "process.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "win/handles.h"
#include "world_test.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Bounds the wait for a next caller that should proceed at once; not a
// measure of speed (programs start slowly under emulation).
constexpr DWORD kNextCallerBoundMs = 180000;
constexpr int kExtraFiles = 300;
constexpr int kCopyFiles = 40;
constexpr size_t kCopyFileBytes = 256 * 1024;
constexpr int kCopiedBeforeKill = 5;

struct Figures {
    int cases = 0;
    int survived = 0;
    int lost = 0;
};
Figures g_figures;

class PrintFigures : public ::testing::Environment {
public:
    void TearDown() override
    {
        std::printf("Kill tests: %d cases run, %d kill points survived, %d things lost\n", g_figures.cases,
                    g_figures.survived, g_figures.lost);
    }
};
[[maybe_unused]] ::testing::Environment *const g_printFigures = ::testing::AddGlobalTestEnvironment(new PrintFigures);

struct Record {
    std::string id, target, password;
};

class KillTest : public DemoWorldTest {
protected:
    void SetUp() override
    {
        ++g_figures.cases;
        DemoWorldTest::SetUp();
        m_shared = CSharedView(SharedBlockOf(GetModuleHandleA("Sefrabox.dll")));
        ASSERT_TRUE(m_shared.Valid());
        MakeWorld(m_worldOptions);
        m_records = ReadRecords();
        ASSERT_EQ(3u, m_records.size());
        m_event.Reset(CreateEventA(nullptr, TRUE, FALSE, EventName().c_str()));
        ASSERT_TRUE(m_event.Valid());
    }

    std::string Store() const { return m_world.Store(); }
    std::string Content() const { return m_world.Content(); }
    std::string Profile() const { return m_world.Profile(); }
    std::string EventName() const { return "reliab-kill-at-" + std::to_string(GetCurrentProcessId()); }

    std::vector<Record> ReadRecords() const
    {
        std::vector<Record> records;
        for (int n = 1;; ++n) {
            const std::string section = std::to_string(n);
            char id[32] = {}, target[64] = {}, password[128] = {};
            GetPrivateProfileStringA(section.c_str(), "id", "", id, sizeof id, Profile().c_str());
            GetPrivateProfileStringA(section.c_str(), "Target", "", target, sizeof target, Profile().c_str());
            GetPrivateProfileStringA(section.c_str(), "Password", "", password, sizeof password, Profile().c_str());
            if (id[0] == '\0')
                return records;
            records.push_back({id, target, password});
        }
    }

    // Starts the child (the event's name between arguments and tail) and
    // waits until it stands at its point (true) or ends.
    bool StartAtPoint(const std::string &arguments, const std::string &tail = std::string())
    {
        m_child = StartProgram(BinProgram("reliab_kill_child.exe") + " " + arguments + " " + EventName() + tail);
        if (!m_child.Valid())
            return false;
        const HANDLE waits[2] = {m_event.Get(), m_child.Get()};
        const DWORD waited = WaitForMultipleObjects(2, waits, FALSE, kNextCallerBoundMs);
        if (waited == WAIT_OBJECT_0)
            return true;
        DWORD code = 0;
        GetExitCodeProcess(m_child.Get(), &code);
        ADD_FAILURE() << "the child did not reach its point: " << code;
        if (waited == WAIT_TIMEOUT)
            KillChild();
        return false;
    }

    void KillChild()
    {
        ASSERT_TRUE(TerminateProcess(m_child.Get(), 9));
        WaitForSingleObject(m_child.Get(), INFINITE);
        m_child.Reset();
    }

    // DeleteSefra of a platform without records, from another process: the
    // next caller that waits for the lock. Its result, or MAXDWORD when it
    // did not end within the bound.
    DWORD ProbeNextCaller()
    {
        CKernelHandle probe = StartProgram(BinProgram("reliab_kill_child.exe") + " probe \"" + Store() + "\"");
        if (!probe.Valid())
            return MAXDWORD;
        if (WaitForSingleObject(probe.Get(), kNextCallerBoundMs) != WAIT_OBJECT_0) {
            TerminateProcess(probe.Get(), 9);
            WaitForSingleObject(probe.Get(), INFINITE);
            return MAXDWORD;
        }
        DWORD code = MAXDWORD;
        GetExitCodeProcess(probe.Get(), &code);
        return code;
    }

    // SB_ShowDlg in this process, ended at once by its hot key: the show
    // entry, which never waits, as the next caller. Its result.
    int ShowAndEnd(bool *mounted)
    {
        RunFromLoop([&] {
            const std::vector<HWND> dialogs = ThreadDialogs();
            *mounted = dialogs.size() == 1 && m_shared.MountHandle() != 0 && !m_shared.VolumeName().empty();
            for (HWND dlg : dialogs)
                PostHotKey(dlg);
        });
        return SB_ShowDlg(nullptr, nullptr, nullptr, nullptr);
    }

    // What must hold once the next caller has cleaned up; changedRecord is
    // the record whose password the killed call was clearing (0: none).
    // Counts the point as survived, or what was lost.
    void ExpectNothingLost(size_t changedRecord)
    {
        int lost = 0;
        auto lose = [&](bool bad, const std::string &what) {
            if (bad) {
                ++lost;
                ADD_FAILURE() << what;
            }
        };
        lose(m_shared.Lock() != 0, "lock left held");
        lose(m_shared.MountHandle() != 0 || !m_shared.VolumeName().empty(), "store left mounted");
        lose(!m_shared.DriveLetter().empty() || m_shared.DialogAddress() != 0, "shared block not cleaned");
        lose(GetLogicalDrives() != m_before.drives, "a drive was left behind");
        if (m_drive != 0)
            lose(DriveLabel(m_drive).has_value(), std::string("label of ") + m_drive + ": left");
        const std::vector<Record> now = ReadRecords();
        lose(now.size() != m_records.size(), "records lost: " + std::to_string(now.size()));
        for (size_t i = 0; i < now.size() && i < m_records.size(); ++i) {
            const bool changing = i + 1 == changedRecord;
            lose(now[i].id != m_records[i].id || now[i].target != m_records[i].target,
                 "record " + std::to_string(i + 1) + " damaged");
            lose(now[i].password != m_records[i].password && !(changing && now[i].password.empty()),
                 "password of record " + std::to_string(i + 1) + " lost");
        }
        for (size_t i = 0; i < m_records.size(); ++i) {
            if (i + 1 == changedRecord)
                continue;
            const std::string folder = Content() + "\\" + m_records[i].target;
            lose(ReadText(folder + "\\readme.txt").empty(), m_records[i].target + " lost its file");
        }
        g_figures.lost += lost;
        if (lost == 0)
            ++g_figures.survived;
    }

    std::string m_worldOptions;
    std::vector<Record> m_records;
    CKernelHandle m_event;
    CKernelHandle m_child;
    char m_drive = 0;
};

TEST_F(KillTest, HolderKilledInOpenSefraIsTakenOverByTheNextShow)
{
    ASSERT_TRUE(StartAtPoint("open-wrong"));
    EXPECT_EQ(1, m_shared.Lock());
    EXPECT_NE(0u, m_shared.MountHandle());
    // A running holder is never taken over.
    EXPECT_EQ(2, SB_ShowDlg(nullptr, nullptr, nullptr, nullptr));
    KillChild();
    EXPECT_EQ(1, m_shared.Lock()) << "the dead holder's word stays until someone comes";

    CTraceCapture trace;
    bool mounted = false;
    EXPECT_EQ(0, ShowAndEnd(&mounted)) << "the show entry must take the lock over";
    EXPECT_TRUE(mounted);
    EXPECT_TRUE(trace.Contains("taken over"));
    ExpectNothingLost(0);
}

TEST_F(KillTest, HolderKilledInOpenSefraIsTakenOverByAWaitingCaller)
{
    ASSERT_TRUE(StartAtPoint("open-wrong"));
    EXPECT_EQ(1, m_shared.Lock());
    KillChild();
    EXPECT_EQ(0u, ProbeNextCaller());
    ExpectNothingLost(0);
}

TEST_F(KillTest, KilledInsideDeleteSefra)
{
    // Platform 1's sefra (record 2) gets enough files that the kill lands
    // while they are being removed.
    const std::string work = Content() + "\\" + m_records[1].target;
    for (int i = 0; i < kExtraFiles; ++i)
        ASSERT_TRUE(WriteText(work + "\\extra" + std::to_string(i) + ".txt", "extra"));
    ASSERT_TRUE(StartAtPoint("delete \"" + Store() + "\" " + m_records[1].id + " \"" + Profile() + "\""));
    EXPECT_EQ(1, m_shared.Lock());
    EXPECT_NE(0u, m_shared.MountHandle()) << "DeleteSefra mounted the store itself";
    KillChild();
    EXPECT_TRUE(FileExists(work)) << "the kill came after the folder was gone";
    EXPECT_EQ(m_records[1].password, ReadRecords()[1].password) << "the sefra's rest lost its password";

    EXPECT_EQ(0u, ProbeNextCaller());
    bool mounted = false;
    EXPECT_EQ(0, ShowAndEnd(&mounted));
    EXPECT_TRUE(mounted);
    ExpectNothingLost(2);
}

TEST_F(KillTest, KilledWithTheDialogOpenAndTheDriveDefined)
{
    ASSERT_TRUE(StartAtPoint("open-drive"));
    EXPECT_EQ(0, m_shared.Lock());
    const std::string drive = m_shared.DriveLetter();
    ASSERT_EQ(2u, drive.size());
    m_drive = drive[0];
    EXPECT_TRUE(DriveExists(m_drive));
    KillChild();
    EXPECT_EQ(drive, m_shared.DriveLetter()) << "the dead dialog's drive stays until someone comes";

    bool mounted = false;
    EXPECT_EQ(0, ShowAndEnd(&mounted));
    EXPECT_TRUE(mounted);
    ExpectNothingLost(0);
}

TEST_F(KillTest, DeadDialogsDriveIsRemovedByAWaitingCaller)
{
    ASSERT_TRUE(StartAtPoint("open-drive"));
    const std::string drive = m_shared.DriveLetter();
    ASSERT_EQ(2u, drive.size());
    m_drive = drive[0];
    KillChild();
    EXPECT_EQ(0u, ProbeNextCaller());
    ExpectNothingLost(0);
}

// Send To on a store without passwords, so that no password dialog stands
// between the request and its copy.
class KillSendToTest : public KillTest {
protected:
    KillSendToTest() { m_worldOptions = "--no-passwords"; }
};

TEST_F(KillSendToTest, KilledInTheMiddleOfAMySendToCopy)
{
    const std::string source = m_folder / "src";
    ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
    std::vector<std::string> contents;
    std::string list;
    for (int i = 0; i < kCopyFiles; ++i) {
        contents.push_back(std::string(kCopyFileBytes, static_cast<char>('a' + i % 26)) + std::to_string(i));
        const std::string path = source + "\\f" + std::to_string(i) + ".bin";
        ASSERT_TRUE(WriteText(path, contents.back()));
        list += "\"" + path + "\" ";
    }
    // Record 1 is the main system's sefra (id 255).
    const std::string sefra = Content() + "\\" + m_records[0].target;
    ASSERT_TRUE(StartAtPoint("sendto \"" + sefra + "\" " + std::to_string(kCopiedBeforeKill),
                             " , MySendTo " + m_records[0].id + "," + list));
    EXPECT_EQ(1, m_shared.Lock());
    EXPECT_NE(0u, m_shared.MountHandle()) << "MySendTo mounted the store itself";
    EXPECT_NE(m_before.drives, GetLogicalDrives()) << "the copy's drive and the store's";
    KillChild();

    // What arrived before the kill is whole; only the file in flight may not be.
    int whole = 0, partial = 0;
    for (int i = 0; i < kCopyFiles; ++i) {
        const std::string copied = sefra + "\\f" + std::to_string(i) + ".bin";
        if (!FileExists(copied))
            continue;
        if (ReadText(copied) == contents[i])
            ++whole;
        else
            ++partial;
    }
    std::printf("Send To killed with %d files whole and %d in flight\n", whole, partial);
    EXPECT_GE(whole, kCopiedBeforeKill - 1);
    EXPECT_LE(partial, 1);
    if (partial > 1)
        g_figures.lost += partial - 1;

    EXPECT_EQ(0u, ProbeNextCaller());
    ExpectNothingLost(0);
}

} // namespace
