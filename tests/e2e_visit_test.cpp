// The whole system as a user meets it, through the host program that plays
// the suite's control program: a visit of the main dialog on the demo world,
// files sent to a sefra through rundll32, the sefra deleted. Afterwards no
// drive, label, mount or lock may be left.
#include "child_process.h"
#include "palmet_test_util.h"
#include "shared_section.h"
#include "suite/Palmet.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using palmet_test::ConfigOverride;
using palmet_test::Exists;
using palmet_test::TempFolder;

namespace {

const char kIcons[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons";

DWORD SubkeyCount(HKEY root, const char *path)
{
    CRegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    return count;
}

struct MachineState {
    DWORD drives, labels, mounts, links;
    bool operator==(const MachineState &o) const
    {
        return drives == o.drives && labels == o.labels && mounts == o.mounts && links == o.links;
    }
};

std::ostream &operator<<(std::ostream &os, const MachineState &s)
{
    return os << "drives 0x" << std::hex << s.drives << std::dec << ", labels " << s.labels << ", mounts " << s.mounts
              << ", links " << s.links;
}

MachineState Snapshot()
{
    return {GetLogicalDrives(), SubkeyCount(HKEY_LOCAL_MACHINE, kIcons),
            SubkeyCount(HKEY_LOCAL_MACHINE, "Software\\SefraStandins\\Mounts"),
            SubkeyCount(HKEY_LOCAL_MACHINE, "Software\\SefraStandins\\Links")};
}

struct DialogSearch {
    HWND password; // a password question of another process
    HWND box;      // a message box of another process
};

BOOL CALLBACK FindOtherDialogs(HWND hwnd, LPARAM l)
{
    auto *search = reinterpret_cast<DialogSearch *>(l);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == GetCurrentProcessId() || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    if (GetDlgItem(hwnd, 1069))
        search->password = hwnd;
    else if (GetDlgItem(hwnd, 0xFFFF))
        search->box = hwnd;
    return TRUE;
}

// The user at the screen while another process works: types pwd into its
// password question and reads and confirms its message boxes.
class CUserAtScreen {
public:
    explicit CUserAtScreen(const char *pwd)
        : m_thread([this, pwd] {
              while (!m_stop) {
                  DialogSearch search{nullptr, nullptr};
                  EnumWindows(FindOtherDialogs, reinterpret_cast<LPARAM>(&search));
                  if (search.password) {
                      SendMessageA(GetDlgItem(search.password, 1069), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pwd));
                      SendMessageA(search.password, WM_COMMAND, IDOK, 0);
                      m_answered = true;
                  } else if (search.box) {
                      char text[256] = {};
                      GetDlgItemTextA(search.box, 0xFFFF, text, sizeof text);
                      SendMessageA(search.box, WM_COMMAND, IDOK, 0);
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

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0u, palmet_test::RunProgram("make_demo_world.exe", "\"" + m_world.Path() + "\""));
        m_config = std::make_unique<ConfigOverride>(m_world / "Platforms.ini");
        m_before = Snapshot();
        m_library.Reset(LoadLibraryA("Sefrabox.dll"));
        m_shared = SharedBlockOf(m_library.Get());
        ASSERT_NE(nullptr, m_shared);
    }

    // Runs the host with arguments; its output goes to out.
    DWORD Host(const std::string &arguments, std::string &out)
    {
        return RunProgram("\"" + TestBinDir() + "sefrabox-host.exe\" " + arguments, m_scratch.Path(), &out);
    }

    void ExpectNothingLeft(const char *after)
    {
        EXPECT_EQ(m_before, Snapshot()) << "after " << after;
        EXPECT_EQ(0, *MountVolumeLockOf(m_library.Get())) << "lock held after " << after;
        EXPECT_EQ('\0', m_shared[0x300]) << "store still mounted after " << after;
        EXPECT_EQ('\0', m_shared[0x680]) << "sefra drive still recorded after " << after;
    }

    std::string Sefra(const char *target) const { return m_world / ("Sefra.vpf.files\\" + std::string(target)); }

    TempFolder m_world;
    CScratchDir m_scratch;
    std::unique_ptr<ConfigOverride> m_config;
    MachineState m_before{};
    CModuleHandle m_library; // the shared block is read in this process's view of the library
    BYTE *m_shared = nullptr;
};

TEST_F(EndToEnd, VisitSendToAndDeleteLeaveNothingBehind)
{
    // The visit: the first row (the main system's sefra) opened as a drive
    // that shows the sefra's files, then everything closed again.
    std::string out;
    // (The folder without its last backslash, which would escape the quote.)
    const std::string screens = m_scratch.Path().substr(0, m_scratch.Path().size() - 1);
    ASSERT_EQ(0u, Host("show --visit --screens \"" + screens + "\"", out)) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the sefra opened as drive")) << out;
    EXPECT_NE(std::string::npos, out.find("readme.txt")) << out;
    EXPECT_NE(std::string::npos, out.find("Photos\\")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the dialog took its Explorer window over")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: the drive was removed when its window closed")) << out;
    EXPECT_NE(std::string::npos, out.find("visit: after the dialog: no drive, no store mount, lock free")) << out;
    EXPECT_TRUE(FileExists(m_scratch.Path() + "visit_dialog.bmp"));
    EXPECT_TRUE(FileExists(m_scratch.Path() + "visit_drive.bmp"));
    ExpectNothingLeft("the visit");

    // Send To: two files, one with a blank in its name, into the work
    // platform's sefra, whose password the user types.
    ASSERT_TRUE(palmet_test::WriteText(m_scratch.Path() + "report one.txt", "first file\r\n"));
    ASSERT_TRUE(palmet_test::WriteText(m_scratch.Path() + "two.txt", "second file\r\n"));
    {
        CUserAtScreen user("work1");
        ASSERT_EQ(0u, Host("sendto 1 \"report one.txt\" two.txt", out)) << out;
        EXPECT_TRUE(user.Answered()) << out;
    }
    EXPECT_EQ("first file\r\n", palmet_test::ReadText(Sefra("WorkSefra") + "\\report one.txt"));
    EXPECT_EQ("second file\r\n", palmet_test::ReadText(Sefra("WorkSefra") + "\\two.txt"));
    ExpectNothingLeft("Send To");

    // Delete: the work sefra's folder goes and its password is cleared; the
    // other sefras keep theirs.
    ASSERT_EQ(0u, Host("delete 1", out)) << out;
    EXPECT_NE(std::string::npos, out.find("returned 0")) << out;
    EXPECT_FALSE(Exists(Sefra("WorkSefra")));
    EXPECT_TRUE(Exists(Sefra("MainSefra") + "\\readme.txt"));
    const std::string profile = m_world / "Sefra.vpf.files\\Sefrabox.ini";
    char work[32] = "x", main[32] = {};
    EXPECT_EQ(0u, GetProfileParameter(2, profile.c_str(), "str,20,Password", work));
    EXPECT_EQ(0u, GetProfileParameter(1, profile.c_str(), "str,20,Password", main));
    EXPECT_STREQ("", work);
    EXPECT_STREQ("main", main);
    ExpectNothingLeft("the deletion");
}

// A prefix without the shell-window provider: Wine's shell lists no windows,
// so the drive stays until the dialog ends, and the host says why.
TEST_F(EndToEnd, WithoutTheShellWindowProviderTheDriveGoesWithTheDialog)
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
    EXPECT_NE(std::string::npos, out.find("visit: the drive was kept after its window closed")) << out;
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
