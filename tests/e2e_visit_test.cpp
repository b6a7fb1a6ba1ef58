// The whole system as a user meets it, through the host program that plays
// the suite's control program: a visit of the main dialog on the demo world,
// files sent to a sefra through rundll32, the sefra deleted. Afterwards no
// drive, label, mount or lock may be left.
#include "files.h"
#include "process.h"
#include "suite/Palmet.h"
#include "win/handles.h"
#include "window_finders.h"
#include "world_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// The user at the screen while another process works: types pwd into its
// password question and reads and confirms its message boxes.
class CUserAtScreen {
public:
    explicit CUserAtScreen(const char *pwd)
        : m_thread([this, pwd] {
              const auto otherProcess = [](HWND hwnd) { return ProcessOfWindow(hwnd) != GetCurrentProcessId(); };
              const CWindowQuery passwords = ShownWindows().OfClass(kDialogClass).WithControl(1069).Where(otherProcess);
              const CWindowQuery boxes = ShownWindows().OfClass(kDialogClass).WithControl(0xFFFF).Where(otherProcess);
              while (!m_stop) {
                  if (const HWND password = passwords.First()) {
                      SendMessageA(GetDlgItem(password, 1069), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pwd));
                      SendMessageA(password, WM_COMMAND, IDOK, 0);
                      m_answered = true;
                  } else if (const HWND box = boxes.First()) {
                      char text[256] = {};
                      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                      SendMessageA(box, WM_COMMAND, IDOK, 0);
                      m_boxes += text;
                      m_boxes += '\n';
                  }
                  Sleep(50);
              }
          })
    {
    }
    ~CUserAtScreen()
    {
        m_stop = true;
        m_thread.join();
    }
    bool Answered() const { return m_answered; }
    // The texts of the boxes confirmed so far (read once the requests ended).
    const std::string &Boxes() const { return m_boxes; }

private:
    std::atomic<bool> m_stop{false}, m_answered{false};
    std::string m_boxes;
    std::thread m_thread;
};

class EndToEnd : public DemoWorldTest {
protected:
    void SetUp() override
    {
        DemoWorldTest::SetUp();
        MakeWorld();
        m_library.Reset(LoadLibraryA("Sefrabox.dll"));
        m_shared = CSharedView(SharedBlockOf(m_library.Get()));
        ASSERT_TRUE(m_shared.Valid());
    }

    // Runs the host with arguments; its output goes to out.
    DWORD Host(const std::string &arguments, std::string &out)
    {
        return RunProgram(BinProgram("sefrabox-host.exe") + " " + arguments, m_scratch.Path(), &out);
    }

    CScratchFolder m_scratch;
    CModuleHandle m_library; // the shared block is read in this process's view of the library
};

TEST_F(EndToEnd, VisitSendToAndDeleteLeaveNothingBehind)
{
    // The visit: the first row (the main system's sefra) opened as a drive
    // that shows the sefra's files, then everything closed again.
    std::string out;
    ASSERT_EQ(0u, Host("show --visit --screens \"" + m_scratch.Path() + "\"", out)) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the sefra opened as drive")) << out;
    EXPECT_NE(std::string::npos, out.find("readme.txt")) << out;
    EXPECT_NE(std::string::npos, out.find("Photos\\")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the dialog took its Explorer window over")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the drive was removed when its window closed")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: after the dialog: no drive, no store mount, lock free")) << out;
    EXPECT_TRUE(FileExists(m_scratch / "visit_dialog.bmp"));
    EXPECT_TRUE(FileExists(m_scratch / "visit_drive.bmp"));
    ExpectNothingLeft("the visit");

    // Send To: two files, one with a blank in its name, into the work
    // platform's sefra, whose password the user types.
    ASSERT_TRUE(WriteText(m_scratch / "report one.txt", "first file\r\n"));
    ASSERT_TRUE(WriteText(m_scratch / "two.txt", "second file\r\n"));
    {
        CUserAtScreen user("work1");
        ASSERT_EQ(0u, Host("sendto 1 \"report one.txt\" two.txt", out)) << out;
        EXPECT_TRUE(user.Answered()) << out;
    }
    EXPECT_EQ("first file\r\n", ReadText(m_world.Sefra("WorkSefra") + "\\report one.txt"));
    EXPECT_EQ("second file\r\n", ReadText(m_world.Sefra("WorkSefra") + "\\two.txt"));
    ExpectNothingLeft("Send To");

    // Delete: the work sefra's folder goes and its password is cleared; the
    // other sefras keep theirs.
    ASSERT_EQ(0u, Host("delete 1", out)) << out;
    EXPECT_NE(std::string::npos, out.find("returned 0")) << out;
    EXPECT_FALSE(FileExists(m_world.Sefra("WorkSefra")));
    EXPECT_TRUE(FileExists(m_world.Sefra("MainSefra") + "\\readme.txt"));
    const std::string profile = m_world.Profile();
    char work[32] = "x", main[32] = {};
    EXPECT_EQ(0u, GetProfileParameter(2, profile.c_str(), "str,20,Password", work));
    EXPECT_EQ(0u, GetProfileParameter(1, profile.c_str(), "str,20,Password", main));
    EXPECT_STREQ("", work);
    EXPECT_STREQ("main", main);
    ExpectNothingLeft("the deletion");
}

// A prefix without the shell-window provider: Wine's shell lists no windows,
// so the dialog takes no window over, and the host says why; the drive goes
// when the file manager's program, which showed the window, ends with it.
TEST_F(EndToEnd, WithoutTheShellWindowProviderTheDriveGoesWithTheFileManagersProgram)
{
    CModuleHandle provider(LoadLibraryA("ShellWindowsStandin.dll"));
    ASSERT_TRUE(provider);
    using RegisterFn = HRESULT(STDAPICALLTYPE *)();
    const auto unregister = reinterpret_cast<RegisterFn>(GetProcAddress(provider.Get(), "DllUnregisterServer"));
    const auto reregister = reinterpret_cast<RegisterFn>(GetProcAddress(provider.Get(), "DllRegisterServer"));
    ASSERT_TRUE(unregister && reregister);
    ASSERT_EQ(S_OK, unregister());
    std::string out;
    const DWORD rc = Host("show --visit", out);
    EXPECT_EQ(S_OK, reregister());
    EXPECT_EQ(0u, rc) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the shell lists no file-manager windows here")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the dialog did not take the Explorer window over")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the drive was removed when its window closed")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: after the dialog: no drive, no store mount, lock free")) << out;
    ExpectNothingLeft("the visit without the provider");
}

TEST_F(EndToEnd, HostRefusesBadCommandLinesClearly)
{
    std::string out;
    EXPECT_EQ(2u, Host("no-such-command", out));
    EXPECT_EQ(2u, Host("delete", out));
    EXPECT_EQ(2u, Host("delete one", out));
    EXPECT_EQ(2u, Host("sendto 1", out));
    EXPECT_EQ(2u, Host("sendto 1 missing-file.txt", out));
    EXPECT_EQ(2u, Host("show --bogus", out));
    EXPECT_EQ(0u, Host("--help", out));
    EXPECT_NE(std::string::npos, out.find("sendto <sefra id> <file>...")) << out;
    ExpectNothingLeft("the refusals");
}

} // namespace
