// sendto_sefra_test.cpp - CSefraboxDlg::SendToSefra in this process on the
// demo world: refused arguments, the records it passes over and a sefra
// folder made on first use.
#include "box_answerer.h"
#include "files.h"
#include "linked_world_test.h"
#include "machine/shared_block.h"
#include "module/app.h"
#include "product_texts.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "win/handles.h"
#include "window_finders.h"
#include "world_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>

namespace {

const std::string kPlaySefra = std::string(kDemoPlayPlatform) + kProductName;

class SendToSefra : public LinkedWorldTest {
protected:
    void SetUp() override
    {
        LinkedWorldTest::SetUp();
        MakeWorld("--no-passwords");
        m_answerer.Serve(GetCurrentProcessId());
    }

    std::string Profile() const { return m_world.Profile(); }

    // Rewrites id and Target of a profile record.
    void SetRecord(DWORD record, int id, const char *target)
    {
        ASSERT_EQ(0u, SetProfileParameter(record, Profile().c_str(), "int,id;str,Target", &id, target));
    }

    // A source file and its converted one-name list.
    std::string Source(const std::string &name)
    {
        const std::string path = m_sources / name;
        EXPECT_TRUE(WriteText(path, "sent: " + name + "\r\n"));
        return path + std::string(1, '\0');
    }

    bool Arrived(const std::string &target, const std::string &name) const
    {
        return ReadText(m_world.Sefra(target) + "\\" + name) == "sent: " + name + "\r\n";
    }

    int Send(const char *number, const std::string &list)
    {
        CSefraboxDlg dlg(nullptr);
        return dlg.SendToSefra(number, list.c_str());
    }

    CScratchFolder m_sources;
    CBoxAnswerer m_answerer;
};

TEST_F(SendToSefra, UnusableArgumentsGive87AndTouchNothing)
{
    const std::string list = Source("refused.txt");
    void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_NOACCESS);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(87, Send(nullptr, list));
    EXPECT_EQ(87, Send(static_cast<const char *>(page), list));
    CSefraboxDlg dlg(nullptr);
    EXPECT_EQ(87, dlg.SendToSefra("2", nullptr));
    EXPECT_EQ(87, dlg.SendToSefra("2", static_cast<const char *>(page)));
    VirtualFree(page, 0, MEM_RELEASE);
    EXPECT_FALSE(Arrived("PlaySefra", "refused.txt"));
    EXPECT_TRUE(m_answerer.Boxes().empty());
}

TEST_F(SendToSefra, RecordsWithoutTargetOrWithIdMinusOneArePassedOver)
{
    // Record 1 (255) loses its Target, record 2 (work) becomes free; record 3
    // is sefra 2 and the search stops at the missing record 4.
    SetRecord(1, 255, "");
    SetRecord(2, -1, "WorkSefra");
    CTraceCapture trace;
    EXPECT_EQ(0, Send("255", Source("main.txt")));
    EXPECT_TRUE(trace.Contains("dwID = 255, dwIndex = 1, szTarget: "));
    EXPECT_TRUE(trace.Contains("dwID = -1, dwIndex = 2, szTarget:WorkSefra"));
    EXPECT_TRUE(trace.Contains("Invalid data of Sefrabox.ini"));
    EXPECT_FALSE(Arrived("MainSefra", "main.txt"));
    // Not a number: it reads as 0, which no platform has.
    SetRecord(2, 0, "WorkSefra");
    EXPECT_EQ(0, Send("work", Source("work.txt")));
    EXPECT_TRUE(trace.Contains("nIndex >= m_daIndex.GetSize()"));
    EXPECT_FALSE(Arrived("WorkSefra", "work.txt"));
    EXPECT_TRUE(m_answerer.Boxes().empty());
}

TEST_F(SendToSefra, AStoreMountedElsewhereWithoutAChannelEndsTheRequestAtOnce)
{
    // A shown dialog's mount; then the platform service goes away, so the
    // channel cannot be opened.
    CSefraboxDlg shown(nullptr);
    ASSERT_TRUE(shown.Initialize(nullptr, nullptr, TRUE));
    const std::string list = Source("late.txt");
    {
        CConfigOverride gone(m_world / "Gone.ini");
        CTraceCapture trace;
        EXPECT_EQ(0, Send("255", list));
        EXPECT_TRUE(trace.Contains("lpSrcPath:"));
        EXPECT_FALSE(trace.Contains("InitVPFInfo")) << "the service was asked on a channel that is none";
        EXPECT_FALSE(trace.Contains("g_szVolumeName:"));
    }
    EXPECT_FALSE(Arrived("MainSefra", "late.txt"));
    EXPECT_TRUE(m_answerer.Boxes().empty());
    shown.StateForTests().m_hVolume.Reset();
    shown.UnMountSefraVolume();
}

TEST_F(SendToSefra, TheFolderIsMadeOnFirstUseAndReusedLater)
{
    SetRecord(3, 2, "FreshSefra");
    EXPECT_EQ(0, Send(" 2", Source("fresh.txt")));
    EXPECT_TRUE(Arrived("FreshSefra", "fresh.txt"));
    EXPECT_EQ(0, Send("+2", Source("again.txt")));
    EXPECT_TRUE(Arrived("FreshSefra", "again.txt"));
    EXPECT_TRUE(Arrived("FreshSefra", "fresh.txt"));
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(kPlaySefra, boxes[0].caption);
    EXPECT_EQ(kPlaySefra, boxes[1].caption);
}

TEST_F(SendToSefra, ATargetThatNamesAnotherFolderReceivesNothing)
{
    // The store's root, platform 1's sefra as the path rules read the name
    // (quotes keep the blanks), a device.
    for (const char *target : {"...", "' '", "WorkSefra.", "'WorkSefra '", "NUL"}) {
        SetRecord(3, 2, target);
        EXPECT_EQ(0, Send("2", Source("stray.txt"))) << target;
        EXPECT_FALSE(FileExists(m_world.Content() + "\\stray.txt")) << target;
        EXPECT_FALSE(FileExists(m_world.Sefra("WorkSefra") + "\\stray.txt")) << target;
    }
    EXPECT_TRUE(m_answerer.Boxes().empty()) << "a copy was reported";
}

TEST_F(SendToSefra, ACopyTheUserStopsAtTheReplaceQuestionIsNotReportedAsSent)
{
    const std::string list = Source("twice.txt");
    EXPECT_EQ(0, Send("2", list));
    ASSERT_EQ(1u, m_answerer.Boxes().size());
    // The second copy asks whether to replace the file (Yes, Yes to all, No,
    // Cancel); the user says no, and the shell reports the copy aborted.
    std::atomic<bool> sent{false};
    std::thread user([&] {
        const HWND ask =
            ShownWindows().OfClass(kDialogClass).WithControl(IDNO).WithControl(IDCANCEL).WaitFor(60000, [&] {
                return sent.load();
            });
        if (ask)
            PostMessageA(ask, WM_COMMAND, IDNO, 0);
    });
    EXPECT_EQ(0, Send("2", list));
    sent = true;
    user.join();
    EXPECT_EQ(1u, m_answerer.Boxes().size()) << "the aborted copy was reported as sent";
}

TEST_F(SendToSefra, OnTheXpFamilyTheDriveIsDefinedForTheCopyAndRemovedAfter)
{
    g_bXpFamily = 1; // as the library decides where the system reports NT 5.1
    // The drive's definition is looked at when the request traces its link
    // (Wine gives no file access through it, so the copy itself fails).
    std::string drive, target;
    {
        const CTraceCapture trace([&](const std::string &line) {
            char letter = 0;
            char seen[1024] = {};
            if (std::sscanf(line.c_str(), "Drive %c: linked", &letter) == 1 && drive.empty()) {
                drive = std::string(1, letter) + ":";
                QueryDosDeviceA(drive.c_str(), seen, sizeof seen);
                target = seen;
            }
        });
        EXPECT_EQ(0, Send("2", Source("xp.txt")));
    }
    g_bXpFamily = 0;
    ASSERT_FALSE(drive.empty()) << "no drive was linked";
    EXPECT_NE(std::string::npos, target.find("\\PlaySefra")) << target;
    char after[1024] = {};
    EXPECT_EQ(0u, QueryDosDeviceA(drive.c_str(), after, sizeof after)) << after;
}

} // namespace
