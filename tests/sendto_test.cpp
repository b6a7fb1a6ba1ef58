// sendto_test.cpp - whole Send To requests through rundll32.exe and
// directly: files that arrive, a cancelled password, a sefra without one,
// the two list buffers and the malformed command lines.
#include "sendto_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST_F(SendToRequests, FilesArriveAfterThePasswordAndNothingIsLeft)
{
    MakeWorld(true);
    m_answerer.SetPassword("MAIN");
    // While the password dialog waits: the lock held, the store mounted by
    // the request and the busy marker carrying the library's title.
    std::vector<std::string> during;
    m_answerer.OnPasswordDialog([&](DWORD, HWND) {
        during.push_back(std::to_string(m_shared.Lock()) + (m_shared.MountHandle() != 0 ? " mounted " : " unmounted ") +
                         MarkerText());
    });
    for (Host host : {Host::Direct, Host::Rundll32}) {
        const std::string prefix = HostName(host);
        const std::string plain = Source(prefix + "_plain.txt");
        const std::string blank = Source(prefix + " with blank.txt");
        const Request r = Start(host, "MySendTo 255, " + plain + " \"" + blank + "\"");
        EXPECT_EQ(0u, r.result) << prefix;
        EXPECT_TRUE(Arrived("MainSefra", prefix + "_plain.txt")) << prefix;
        EXPECT_TRUE(Arrived("MainSefra", prefix + " with blank.txt")) << prefix;
        EXPECT_TRUE(r.HasLine("lpSefraName = 255")) << prefix;
        EXPECT_FALSE(r.HasLine("ParseCmdLine return ERROR_BUFFER_OVERFLOW")) << prefix;
        ExpectNothingLeft();
    }
    ASSERT_EQ(2u, during.size());
    EXPECT_EQ(std::string("1 mounted ") + kProductName, during[0]);
    EXPECT_EQ(std::string("1 mounted ") + kProductName, during[1]);
    const std::vector<std::string> prompts = m_answerer.PasswordPrompts();
    ASSERT_EQ(2u, prompts.size());
    EXPECT_EQ(FillText(kPasswordPromptFormat, {kMainSystemSefra}), prompts[0]);
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    for (const CBoxAnswerer::Box &box : boxes) {
        EXPECT_EQ(kMainSystemSefra, box.caption);
        EXPECT_EQ(FillText(kSentFormat, {kMainSystemSefra}), box.text);
    }
}

TEST_F(SendToRequests, ACancelledPasswordCopiesNothing)
{
    MakeWorld(true);
    m_answerer.SetPassword(nullptr);
    for (Host host : {Host::Direct, Host::Rundll32}) {
        const std::string name = std::string(HostName(host)) + "_cancelled.txt";
        const Request r = Start(host, "MySendTo 2," + Source(name));
        EXPECT_EQ(0u, r.result) << HostName(host);
        EXPECT_FALSE(Arrived("PlaySefra", name));
        EXPECT_TRUE(r.HasLine("CSefraboxDlg::UnMountSefraVolume()")) << HostName(host);
        ExpectNothingLeft();
    }
    EXPECT_EQ(2u, m_answerer.PasswordPrompts().size());
    EXPECT_TRUE(m_answerer.Boxes().empty());
}

TEST_F(SendToRequests, WithoutPasswordAQuotedNumberCopiesAndACommaEndsTheList)
{
    MakeWorld(false);
    for (Host host : {Host::Direct, Host::Rundll32}) {
        const std::string prefix = HostName(host);
        const std::string first = Source(prefix + "_first.txt");
        const std::string second = Source(prefix + "_second.txt");
        const std::string cut = Source(prefix + "_after_comma.txt");
        const Request r = Start(host, "MySendTo \"2\"," + first + " " + second + "," + cut);
        EXPECT_EQ(0u, r.result) << prefix;
        EXPECT_TRUE(Arrived("PlaySefra", prefix + "_first.txt")) << prefix;
        EXPECT_TRUE(Arrived("PlaySefra", prefix + "_second.txt")) << prefix;
        EXPECT_FALSE(Arrived("PlaySefra", prefix + "_after_comma.txt")) << prefix;
        EXPECT_TRUE(r.HasLine("lpSefraName = 2 ")) << prefix;
    }
    EXPECT_TRUE(m_answerer.PasswordPrompts().empty());
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(kPlaySefra, boxes[0].caption);
    EXPECT_EQ(FillText(kSentFormat, {kPlaySefra}), boxes[0].text);
}

// Raw lists of exactly 262 and 263 bytes (blanks after the comma included)
// made of three files whose names fill the bytes.
TEST_F(SendToRequests, A263ByteListTakesTheSecondBufferAndStillArrives)
{
    MakeWorld(false);
    struct Case {
        Host host;
        size_t raw;
    };
    for (const Case &c : {Case{Host::Direct, 262}, Case{Host::Direct, 263}, Case{Host::Rundll32, 263}}) {
        const std::string prefix = std::string(HostName(c.host)) + "_" + std::to_string(c.raw) + "_";
        const size_t fixed = 2 * (m_sources.Path().size() + 1) + 2 + 1; // two paths, two blanks, one lead blank
        std::vector<std::string> names = {prefix + "a.txt", prefix + "b.txt"};
        const size_t lastPath = c.raw - fixed - names[0].size() - names[1].size();
        const size_t lastName = lastPath - m_sources.Path().size() - 1;
        ASSERT_GT(lastName, prefix.size() + 5);
        names.push_back(prefix + std::string(lastName - prefix.size() - 4, 'c') + ".txt");
        std::string list = " ";
        for (const std::string &name : names)
            list += Source(name) + " ";
        list.pop_back();
        ASSERT_EQ(c.raw, list.size());
        const Request r = Start(c.host, "MySendTo 2," + list);
        EXPECT_EQ(0u, r.result) << prefix;
        for (const std::string &name : names)
            EXPECT_TRUE(Arrived("PlaySefra", name)) << name;
        EXPECT_EQ(c.raw > 262, r.HasLine("ParseCmdLine return ERROR_BUFFER_OVERFLOW")) << prefix;
    }
}

TEST_F(SendToRequests, MalformedLinesGive87AndTouchNothing)
{
    MakeWorld(false);
    const std::string file = Source("never.txt");
    const std::string child = BinProgram("sendto_child.exe");
    // No comma at all, and nothing after the first one.
    EXPECT_EQ(87u, StartLine(Host::Direct, child + " MySendTo 2 " + file).result);
    EXPECT_EQ(87u, StartLine(Host::Direct, child + " Sefrabox.dll,").result);
    for (const std::string &tail : {
             "SendTo 2," + file,                              // no keyword
             "MySendTo 2 " + file,                            // no comma after the number
             std::string("MySendTo 2,"),                      // nothing after it
             "MySendTo " + std::string(20, '2') + "," + file, // a number of 20 bytes
             std::string("MySendTo 2, , ,\t"),                // separators only
             std::string("MySendTo 2,\""),                    // a lone quote: no name
         })
        EXPECT_EQ(87u, Start(Host::Direct, tail).result) << tail;
    // The keyword in any letter case reaches the copy.
    EXPECT_EQ(0u, Start(Host::Direct, "mYsEnDtO 2," + Source("any_case.txt")).result);
    EXPECT_TRUE(Arrived("PlaySefra", "any_case.txt"));
    // Through rundll32 the result is only in the trace.
    const Request r = Start(Host::Rundll32, "MySendTo 2 " + file);
    EXPECT_EQ(87u, r.result);
    EXPECT_FALSE(Arrived("PlaySefra", "never.txt"));
    // Only the one good request showed its box.
    EXPECT_EQ(1u, m_answerer.Boxes().size());
}

} // namespace
