// sendto_busy_test.cpp - Send To requests beside other users of the store:
// a main dialog shown by another process, a busy marker held by another
// program, and a second request while the first still runs.
#include "sendto_fixture.h"
#include "suite/Palmet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST_F(SendToRequests, WithAMainDialogShownElsewhereTheStoreAndMarkerAreLeftAlone)
{
    MakeWorld(true);
    CKernelHandle shown = StartProgram(BinProgram("show_entry_child.exe") + " show", BinDir());
    ASSERT_TRUE(shown.Valid());
    const HWND dialog =
        ShownWindows().OfProcess(GetProcessId(shown.Get())).Titled(kProductName).WaitFor(kRequestLimitMs, [&] {
            return WaitForSingleObject(shown.Get(), 0) != WAIT_TIMEOUT;
        });
    ASSERT_NE(nullptr, dialog) << "the main dialog did not show";
    const DWORD mount = m_shared.MountHandle();
    const std::string volume = m_shared.VolumeName();
    ASSERT_NE(0u, mount);

    m_answerer.SetPassword("work1");
    std::vector<std::string> during;
    m_answerer.OnPasswordDialog([&](DWORD, HWND) {
        during.push_back(std::to_string(m_shared.Lock()) +
                         (m_shared.MountHandle() == mount ? " same mount " : " other mount ") + MarkerText());
    });
    for (Host host : {Host::Direct, Host::Rundll32}) {
        const std::string name = std::string(HostName(host)) + "_beside_dialog.txt";
        const Request r = Start(host, "MySendTo 1," + Source(name));
        EXPECT_EQ(0u, r.result) << HostName(host);
        EXPECT_TRUE(Arrived("WorkSefra", name)) << HostName(host);
        EXPECT_TRUE(r.HasLine("InitVPFInfo()")) << HostName(host);
        EXPECT_FALSE(r.HasLine("CSefraboxDlg::UnMountSefraVolume()")) << HostName(host);
        EXPECT_EQ(mount, m_shared.MountHandle());
        EXPECT_EQ(volume, m_shared.VolumeName());
    }
    EXPECT_EQ((std::vector<std::string>{"1 same mount (none)", "1 same mount (none)"}), during);
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(kWorkSefra, boxes[1].caption);

    PostHotKey(dialog);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(shown.Get(), kRequestLimitMs));
}

TEST_F(SendToRequests, AMarkerHeldByAnotherProgramGives183AndNamesIt)
{
    MakeWorld(false);
    const char holder[] = "Guard \xB2\xE2\xCA\xD4"; // 测试
    CKernelHandle marker(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 260, kMarkerName));
    ASSERT_TRUE(marker.Valid());
    ASSERT_NE(ERROR_ALREADY_EXISTS, GetLastError());
    WriteMappingText(marker.Get(), holder);
    for (Host host : {Host::Direct, Host::Rundll32}) {
        const std::string name = std::string(HostName(host)) + "_refused.txt";
        const Request r = Start(host, "MySendTo 2," + Source(name));
        EXPECT_EQ(183u, r.result) << HostName(host);
        EXPECT_FALSE(Arrived("PlaySefra", name));
        EXPECT_EQ(0, m_shared.Lock());
        EXPECT_EQ(0u, m_shared.MountHandle());
    }
    EXPECT_EQ(holder, MarkerText());
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    for (const CBoxAnswerer::Box &box : boxes) {
        EXPECT_EQ(kProductName, box.caption);
        EXPECT_EQ(FillText(kBusyElsewhereFormat, {holder}), box.text);
    }
    marker.Reset();
}

// The first request waits in its password dialog until the second has
// started and traced its entry; the second must then wait for the lock: had
// it gone on, it would have found the first one's busy marker and given 183.
TEST_F(SendToRequests, ASecondRequestWaitsForTheFirstToEnd)
{
    MakeWorld(true);
    m_answerer.SetPassword("main");
    HANDLE firstProcess = nullptr, secondProcess = nullptr;
    Request first = Start(Host::Direct, "MySendTo 255," + Source("first.txt"), &firstProcess);
    CKernelHandle firstOwner(firstProcess);
    Request second;
    CKernelHandle secondOwner;
    bool secondStarted = false;
    m_answerer.OnPasswordDialog([&](DWORD pid, HWND) {
        if (pid != first.pid)
            return;
        second = Start(Host::Rundll32, "MySendTo 255," + Source("second.txt"), &secondProcess);
        secondOwner.Reset(secondProcess);
        secondStarted = m_monitor.WaitForLine(second.pid, "MySendTo() and CmdLine", secondProcess);
        OutputDebugStringA("sendto_test: the first request goes on");
    });
    Finish(Host::Direct, firstOwner.Get(), first);
    ASSERT_TRUE(secondOwner.Valid());
    Finish(Host::Rundll32, secondOwner.Get(), second);
    EXPECT_TRUE(secondStarted);
    EXPECT_EQ(0u, first.result);
    EXPECT_EQ(0u, second.result);
    EXPECT_TRUE(Arrived("MainSefra", "first.txt"));
    EXPECT_TRUE(Arrived("MainSefra", "second.txt"));

    // In the machine's trace, the second request parses only after the first
    // has unmounted the store, which it does last, under the lock.
    const std::vector<TraceLine> lines = m_monitor.Lines();
    size_t firstUnmounted = lines.size(), secondParsed = lines.size(), released = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].text.find("sendto_test: the first request goes on") != std::string::npos)
            released = i;
        if (lines[i].pid == first.pid && lines[i].text.find("UnMountSefraVolume") != std::string::npos)
            firstUnmounted = i;
        if (lines[i].pid == second.pid && lines[i].text.find("lpSefraName = ") != std::string::npos &&
            secondParsed == lines.size())
            secondParsed = i;
    }
    ASSERT_LT(secondParsed, lines.size());
    EXPECT_LT(released, firstUnmounted);
    EXPECT_LT(firstUnmounted, secondParsed);
    EXPECT_EQ(2u, m_answerer.PasswordPrompts().size());
}

} // namespace
