// sendto_test.cpp - whole Send To requests on the demo world, each in its
// own process as the shell starts them: through the system's rundll32.exe
// and through sendto_child.exe, which calls MySendTo directly and exits with
// its result. A second thread answers the password dialog and the message
// boxes; the trace of every process is collected beside.
#include "Palmet.h"
#include "child_process.h"
#include "palmet_test_util.h"
#include "sendto_support.h"
#include "shared_section.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using palmet_test::ConfigOverride;
using palmet_test::TempFolder;

namespace {

const char kTitle[] = "\xB1\xA3\xCF\xD5\xCF\xE4";            // 保险箱
const char kMainSystemSefra[] = "\xD6\xF7\xCF\xB5\xCD\xB3"   // 主系统
                                "\xB1\xA3\xCF\xD5\xCF\xE4";  // 保险箱
const char kWorkSefra[] = "\xB9\xA4\xD7\xF7\xC6\xBD\xCC\xA8" // 工作平台
                          "\xB1\xA3\xCF\xD5\xCF\xE4";        // 保险箱
const char kPlaySefra[] = "\xD3\xE9\xC0\xD6\xC6\xBD\xCC\xA8" // 娱乐平台
                          "\xB1\xA3\xCF\xD5\xCF\xE4";        // 保险箱
const char kMarkerName[] = "8230B992-BB40-487c-A46D-61E63A965565";
constexpr DWORD kVolumeNameOffset = 0x300;
constexpr DWORD kDriveLetterOffset = 0x680;
constexpr DWORD kMountHandleOffset = 0x690;
// A request that runs longer than this has hung: it is ended and fails.
constexpr DWORD kRequestLimitMs = 120000;
constexpr WPARAM kHotKeyId = 0x1000;

enum class Host { Direct, Rundll32 };

const char *HostName(Host host) { return host == Host::Direct ? "sendto_child" : "rundll32"; }

struct Request {
    DWORD result = MAXDWORD;
    DWORD pid = 0;
    std::vector<std::string> lines;
    bool HasLine(const std::string &text) const
    {
        for (const std::string &line : lines)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }
};

// A string of the library's string table, with one %s filled in.
std::string Formatted(UINT id, const std::string &arg)
{
    char format[512] = {};
    LoadStringA(GetModuleHandleA("Sefrabox.dll"), id, format, sizeof format);
    char text[1024] = {};
    snprintf(text, sizeof text, format, arg.c_str());
    return text;
}

// The text in the busy marker, or "(none)" when no program holds it.
std::string MarkerText()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kMarkerName);
    if (!mapping)
        return "(none)";
    const char *view = static_cast<const char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    const std::string text = view ? std::string(view, strnlen(view, 260)) : "(unreadable)";
    if (view)
        UnmapViewOfFile(view);
    CloseHandle(mapping);
    return text;
}

struct ShownDialog {
    DWORD pid;
    HWND hwnd;
};

// The visible main dialog (titled 保险箱) of process pid.
BOOL CALLBACK FindShownDialog(HWND hwnd, LPARAM l)
{
    auto *f = reinterpret_cast<ShownDialog *>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == f->pid && IsWindowVisible(hwnd) && WindowText(hwnd) == kTitle) {
        f->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

class SendTo : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_library = LoadLibraryA("Sefrabox.dll");
        ASSERT_NE(nullptr, m_library);
        m_block = SharedBlockOf(m_library);
        ASSERT_NE(nullptr, m_block);
        ASSERT_TRUE(m_monitor.Ok()) << "no debug output monitor";
        m_drivesBefore = GetLogicalDrives();
    }

    void TearDown() override
    {
        ExpectNothingLeft();
        FreeLibrary(m_library);
    }

    void MakeWorld(bool passwords)
    {
        const std::string options = passwords ? "" : "--no-passwords ";
        ASSERT_EQ(0u, palmet_test::RunProgram("make_demo_world.exe", options + "\"" + m_world.Path() + "\""));
        m_config = std::make_unique<ConfigOverride>(m_world / "Platforms.ini");
    }

    LONG Lock() const { return *reinterpret_cast<volatile LONG *>(m_block + kMountVolumeLockOffset); }
    DWORD MountHandle() const { return *reinterpret_cast<volatile DWORD *>(m_block + kMountHandleOffset); }
    std::string VolumeName() const { return reinterpret_cast<const char *>(m_block + kVolumeNameOffset); }
    std::string DriveLetter() const { return reinterpret_cast<const char *>(m_block + kDriveLetterOffset); }

    void ExpectNothingLeft()
    {
        EXPECT_EQ(0, Lock()) << "the mount lock was left held";
        EXPECT_EQ(0u, MountHandle()) << "the store was left mounted";
        EXPECT_EQ("", VolumeName());
        EXPECT_EQ("", DriveLetter());
        EXPECT_EQ(m_drivesBefore, GetLogicalDrives()) << "a drive was left behind";
        EXPECT_EQ("(none)", MarkerText()) << "the busy marker was left open";
    }

    std::string SefraFolder(const char *target) const { return m_world / "Sefra.vpf.files\\" + target; }

    // A file of the source folder; returns its full path.
    std::string Source(const std::string &name)
    {
        const std::string path = m_sources / name;
        EXPECT_TRUE(palmet_test::WriteText(path, "sent: " + name + "\r\n"));
        return path;
    }

    // Whether name arrived in the sefra folder with its content.
    bool Arrived(const char *target, const std::string &name) const
    {
        return palmet_test::ReadText(SefraFolder(target) + "\\" + name) == "sent: " + name + "\r\n";
    }

    // Starts a request with this command line after the library's path and
    // its comma, waits for its end and collects its result and trace. The
    // direct host's exit code is MySendTo's result; rundll32 drops it, so the
    // last traced result counts there.
    Request Start(Host host, const std::string &tail, HANDLE *running = nullptr)
    {
        const std::string bin = TestBinDir();
        const std::string line = (host == Host::Direct ? "\"" + bin + "sendto_child.exe\" " : "rundll32.exe ") + bin +
                                 "Sefrabox.dll," + tail;
        return StartLine(host, line, running);
    }

    Request StartLine(Host host, const std::string &line, HANDLE *running = nullptr)
    {
        Request request;
        CKernelHandle process = StartProgram(line, TestBinDir());
        if (!process)
            return request;
        request.pid = GetProcessId(process.Get());
        m_answerer.Serve(request.pid);
        if (running) {
            *running = process.Detach();
            return request;
        }
        Finish(host, process.Get(), request);
        return request;
    }

    void Finish(Host host, HANDLE process, Request &request)
    {
        if (WaitForSingleObject(process, kRequestLimitMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << HostName(host) << " request did not end";
            TerminateProcess(process, 1);
            WaitForSingleObject(process, INFINITE);
        }
        request.lines = m_monitor.LinesOf(request.pid);
        if (host == Host::Direct) {
            request.result = ExitCodeOf(process);
        } else {
            for (const std::string &line : request.lines) {
                unsigned code = 0;
                if (std::sscanf(line.c_str(), "dwErrCode = 0x%X", &code) == 1)
                    request.result = code;
            }
        }
    }

    HMODULE m_library = nullptr;
    BYTE *m_block = nullptr;
    DWORD m_drivesBefore = 0;
    TempFolder m_world;
    TempFolder m_sources;
    std::unique_ptr<ConfigOverride> m_config;
    CTraceMonitor m_monitor;
    CBoxAnswerer m_answerer;
};

TEST_F(SendTo, FilesArriveAfterThePasswordAndNothingIsLeft)
{
    MakeWorld(true);
    m_answerer.SetPassword("MAIN");
    // While the password dialog waits: the lock held, the store mounted by
    // the request and the busy marker carrying the library's title.
    std::vector<std::string> during;
    m_answerer.OnPasswordDialog([&](DWORD, HWND) {
        during.push_back(std::to_string(Lock()) + (MountHandle() != 0 ? " mounted " : " unmounted ") + MarkerText());
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
    EXPECT_EQ(std::string("1 mounted ") + kTitle, during[0]);
    EXPECT_EQ(std::string("1 mounted ") + kTitle, during[1]);
    const std::vector<std::string> prompts = m_answerer.PasswordPrompts();
    ASSERT_EQ(2u, prompts.size());
    EXPECT_EQ(Formatted(3359, kMainSystemSefra), prompts[0]);
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    for (const CBoxAnswerer::Box &box : boxes) {
        EXPECT_EQ(kMainSystemSefra, box.caption);
        EXPECT_EQ(Formatted(3357, kMainSystemSefra), box.text);
    }
}

TEST_F(SendTo, ACancelledPasswordCopiesNothing)
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

TEST_F(SendTo, WithoutPasswordAQuotedNumberCopiesAndACommaEndsTheList)
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
    EXPECT_EQ(Formatted(3357, kPlaySefra), boxes[0].text);
}

// Raw lists of exactly 262 and 263 bytes (blanks after the comma included)
// made of three files whose names fill the bytes.
TEST_F(SendTo, A263ByteListTakesTheSecondBufferAndStillArrives)
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

TEST_F(SendTo, MalformedLinesGive87AndTouchNothing)
{
    MakeWorld(false);
    const std::string file = Source("never.txt");
    const std::string child = "\"" + TestBinDir() + "sendto_child.exe\"";
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

TEST_F(SendTo, WithAMainDialogShownElsewhereTheStoreAndMarkerAreLeftAlone)
{
    MakeWorld(true);
    CKernelHandle shown = StartProgram("\"" + TestBinDir() + "show_entry_child.exe\" show", TestBinDir());
    ASSERT_TRUE(shown.Valid());
    const DWORD shownPid = GetProcessId(shown.Get());
    ShownDialog find{shownPid, nullptr};
    while (!find.hwnd && WaitForSingleObject(shown.Get(), 20) == WAIT_TIMEOUT)
        EnumWindows(FindShownDialog, reinterpret_cast<LPARAM>(&find));
    ASSERT_NE(nullptr, find.hwnd) << "the main dialog did not show";
    const DWORD mount = MountHandle();
    const std::string volume = VolumeName();
    ASSERT_NE(0u, mount);

    m_answerer.SetPassword("work1");
    std::vector<std::string> during;
    m_answerer.OnPasswordDialog([&](DWORD, HWND) {
        during.push_back(std::to_string(Lock()) + (MountHandle() == mount ? " same mount " : " other mount ") +
                         MarkerText());
    });
    for (Host host : {Host::Direct, Host::Rundll32}) {
        const std::string name = std::string(HostName(host)) + "_beside_dialog.txt";
        const Request r = Start(host, "MySendTo 1," + Source(name));
        EXPECT_EQ(0u, r.result) << HostName(host);
        EXPECT_TRUE(Arrived("WorkSefra", name)) << HostName(host);
        EXPECT_TRUE(r.HasLine("InitVPFInfo()")) << HostName(host);
        EXPECT_FALSE(r.HasLine("CSefraboxDlg::UnMountSefraVolume()")) << HostName(host);
        EXPECT_EQ(mount, MountHandle());
        EXPECT_EQ(volume, VolumeName());
    }
    EXPECT_EQ((std::vector<std::string>{"1 same mount (none)", "1 same mount (none)"}), during);
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(kWorkSefra, boxes[1].caption);

    PostMessageA(find.hwnd, WM_HOTKEY, kHotKeyId, MAKELPARAM(MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'L'));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(shown.Get(), kRequestLimitMs));
}

TEST_F(SendTo, AMarkerHeldByAnotherProgramGives183AndNamesIt)
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
        EXPECT_EQ(0, Lock());
        EXPECT_EQ(0u, MountHandle());
    }
    EXPECT_EQ(holder, MarkerText());
    const std::vector<CBoxAnswerer::Box> boxes = m_answerer.Boxes();
    ASSERT_EQ(2u, boxes.size());
    for (const CBoxAnswerer::Box &box : boxes) {
        EXPECT_EQ(kTitle, box.caption);
        EXPECT_EQ(Formatted(3345, holder), box.text);
    }
    marker.Reset();
}

// The first request waits in its password dialog until the second has
// started and traced its entry; the second must then wait for the lock: had
// it gone on, it would have found the first one's busy marker and given 183.
TEST_F(SendTo, ASecondRequestWaitsForTheFirstToEnd)
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
    const std::vector<CTraceMonitor::Line> lines = m_monitor.Lines();
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
