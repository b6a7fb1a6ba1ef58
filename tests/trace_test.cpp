// trace_test.cpp - trace lines and error texts as a reader of the debugger
// output channel receives them, byte for byte.
#include "process.h"
#include "trace_monitor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> TraceOf(const char *scenario)
{
    const MonitoredRun run = RunUnderDebugMonitor(BinProgram("trace_probe.exe") + " " + scenario);
    EXPECT_EQ(0u, run.exitCode) << run.problem;
    return run.lines;
}

} // namespace

TEST(Trace, SuffixAndLineBreakFollowTheFormat)
{
    const std::vector<std::string> expected = {
        "CSefraboxDlg::OnDestroy() (At Line: 1234)\n",
        "abc (At Line: 77)\r\n",            // the format's CR LF stays after the suffix
        "abc (At Line: 78)\n",              // no break in the format: one LF
        " (At Line: 79)",                   // empty format: the suffix alone, no break
        "no number\n",                      // line -1: no suffix
        "line zero (At Line: 0)\n",         // line 0 keeps its suffix
        "from an argument (At Line: 80)\n", // breaks from an argument cut, one LF added
        "value 42, text x (At Line: 81)\n",
        "through g_nLogLine (At Line: 4321)\n",
        "100% finished, no arguments (At Line: 82)\n", // no argument list: the format is the text
        std::string(3000, 'L') + " (At Line: 85)\n",
        "last (At Line: 86)\n",
    };
    // The null format (83) and the freed one (84) write nothing.
    EXPECT_EQ(expected, TraceOf("lines"));
}

TEST(Trace, ErrorTexts)
{
    const std::vector<std::string> lines = TraceOf("errors");
    ASSERT_EQ(3u, lines.size());
    // Error 0 is the empty text: the words, the blank after "!", the suffix.
    EXPECT_EQ("CreateFile() failed!  (At Line: 89)\n", lines[0]);

    // The system's sentence for 2, its line feeds cut, then the code.
    const std::string tail = " Error Code: 0x00000002 (At Line: 90)\n";
    ASSERT_GT(lines[1].size(), std::string("CreateFile() failed! ").size() + tail.size());
    EXPECT_EQ(0u, lines[1].rfind("CreateFile() failed! ", 0));
    EXPECT_EQ(tail, lines[1].substr(lines[1].size() - tail.size()));
    const std::string sentence = lines[1].substr(21, lines[1].size() - 21 - tail.size());
    EXPECT_EQ(std::string::npos, sentence.find('\n')) << sentence;

    // A code the system has no message for still names itself.
    EXPECT_EQ(" Error Code: 0xE0001234 (At Line: 91)\n", lines[2]);
}

// A failed call's line names the call with its arguments, the error read
// before anything else ran, and the line of the call site.
TEST(Trace, FailedCallsKeepTheirTextAndLine)
{
    const std::vector<std::string> expected = {
        "Our_IoCreateSymbolicLink(\\DosDevices\\X:, C:\\100%d) failed!  Error Code: 0xE0001234 (At Line: 300)\n",
        "DeleteFile(C:\\gone) failed!  Error Code: 0xE0001235 (At Line: 302)\n",
    };
    EXPECT_EQ(expected, TraceOf("failures"));
}

TEST(Trace, ThreadsKeepTheirOwnLineNumbers)
{
    std::vector<std::string> lines = TraceOf("threads");
    std::sort(lines.begin(), lines.end());
    const std::vector<std::string> expected = {"thread A (At Line: 100)\n", "thread B (At Line: 200)\n"};
    EXPECT_EQ(expected, lines);
}
