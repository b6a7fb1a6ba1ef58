// reliab_hostile_test.cpp - every export called with null, unreadable (a
// released page, a guard page), unwritable, unterminated, overlong and short
// arguments, each call in a process of its own on the demo world: the
// result is the refusal the export owes (87, 2 or FALSE), and neither the
// shared block nor the store's files nor the machine's drives change.
// Prints the figures at the end.
#include "config_override.h"
#include "demo_world.h"
#include "files.h"
#include "process.h"
#include "shared_section.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct Row {
    const char *name;      // test name
    const char *arguments; // of reliab_hostile_child
    DWORD expected;
};

// SB_ShowDlg's other pointers and DeleteSefra's id are usable; null is a
// usable value for the texts of ordinals 10 and 11 and is left out there,
// as is a read-only text where only reading is asked for.
const Row kRows[] = {
    {"ShowDlg_Name_Freed", "10 name freed", 2},
    {"ShowDlg_Name_Guard", "10 name guard", 2},
    {"ShowDlg_Name_Unterminated", "10 name unterminated", 2},
    {"ShowDlg_Name_Overlong", "10 name overlong", 2},
    {"WithParent_Null", "25 parent null", 2},
    {"WithParent_Freed", "25 parent freed", 2},
    {"WithParent_Guard", "25 parent guard", 2},
    {"WithParent_NotAWindow", "25 parent unwritable", 2},
    {"WithParent_Short", "25 parent short", 2},
    {"NoInit_Freed", "11 text freed", 2},
    {"NoInit_Guard", "11 text guard", 2},
    {"NoInit_Unterminated", "11 text unterminated", 2},
    {"NoInit_Overlong", "11 text overlong", 2},
    {"DriveTargets_Record_Null", "21 record null", 87},
    {"DriveTargets_Record_Freed", "21 record freed", 87},
    {"DriveTargets_Record_Guard", "21 record guard", 87},
    {"DriveTargets_Record_Unwritable", "21 record unwritable", 87},
    {"DriveTargets_Record_Short", "21 record short", 87},
    {"DriveTargets_Path_Null", "21 path null", 87},
    {"DriveTargets_Path_Freed", "21 path freed", 87},
    {"DriveTargets_Path_Guard", "21 path guard", 87},
    {"DriveTargets_Path_Unwritable", "21 path unwritable", 87},
    {"DriveTargets_Path_Short", "21 path short", 87},
    {"DriveTargets_Names_Null", "21 name-buffer null", 87},
    {"DriveTargets_Names_Freed", "21 name-buffer freed", 87},
    {"DriveTargets_Names_Guard", "21 name-buffer guard", 87},
    {"DriveTargets_Names_Unwritable", "21 name-buffer unwritable", 87},
    {"DriveTargets_Names_Short", "21 name-buffer short", 87},
    {"DriveTargets_Platform_Freed", "21 platform freed", 87},
    {"DriveTargets_Platform_Guard", "21 platform guard", 87},
    {"DriveTargets_Platform_Unterminated", "21 platform unterminated", 87},
    {"DriveTargets_Platform_Overlong", "21 platform overlong", 87},
    {"SetSharedText_Null", "23 text null", 0},
    {"SetSharedText_Freed", "23 text freed", 0},
    {"SetSharedText_Guard", "23 text guard", 0},
    {"SetSharedText_Unterminated", "23 text unterminated", 0},
    {"SetSharedText_Overlong", "23 text overlong", 0},
    {"GetSharedText_Null", "24 buffer null", 0},
    {"GetSharedText_Freed", "24 buffer freed", 0},
    {"GetSharedText_Guard", "24 buffer guard", 0},
    {"GetSharedText_Unwritable", "24 buffer unwritable", 0},
    {"GetSharedText_Short", "24 buffer short", 0},
    {"DeleteSefra_Name_Null", "33 name null", 87},
    {"DeleteSefra_Name_Freed", "33 name freed", 87},
    {"DeleteSefra_Name_Guard", "33 name guard", 87},
    {"DeleteSefra_Name_Unterminated", "33 name unterminated", 87},
    {"DeleteSefra_Name_Overlong", "33 name overlong", 87},
    // MySendTo reads its own process's command line; malformed ones end
    // with 87. A sefra number of 20 or more bytes cannot be held and is
    // refused the same way.
    {"MySendTo_NoComma", "22 MySendTo 2 C:\\a.txt", 87},
    {"MySendTo_NothingAfterComma", "22 x,", 87},
    {"MySendTo_NoKeyword", "22 x, Other 2,C:\\a.txt", 87},
    {"MySendTo_NoCommaAfterNumber", "22 x, MySendTo 2", 87},
    {"MySendTo_NothingAfterNumber", "22 x, MySendTo 2,", 87},
    {"MySendTo_OverlongNumber", "22 x, MySendTo 123456789012345678901234567890,C:\\a.txt", 87},
};

// Shown by the test runner for a failing row.
void PrintTo(const Row &row, std::ostream *os) { *os << row.arguments; }

struct Figures {
    int run = 0;
    int refused = 0;
};
Figures g_figures;

class PrintFigures : public ::testing::Environment {
public:
    void TearDown() override
    {
        std::printf("Hostile arguments: %d cases run, %d refused as owed and nothing changed\n", g_figures.run,
                    g_figures.refused);
    }
};
[[maybe_unused]] ::testing::Environment *const g_printFigures = ::testing::AddGlobalTestEnvironment(new PrintFigures);

// Every file under folder (relative name -> content).
void Snapshot(const std::string &folder, const std::string &relative, std::map<std::string, std::string> &files)
{
    WIN32_FIND_DATAA fd;
    CFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &fd));
    if (!find)
        return;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[relative + name + "\\"] = "";
            Snapshot(folder + "\\" + name, relative + name + "\\", files);
        } else {
            files[relative + name] = ReadText(folder + "\\" + name);
        }
    } while (FindNextFileA(find.Get(), &fd));
}

// The demo world of the whole suite, served to the stand-ins while it runs.
struct SuiteWorld {
    CScratchFolder folder;
    DemoWorld world{folder.Path()};
    std::unique_ptr<CConfigOverride> config;
};

class HostileArguments : public ::testing::TestWithParam<Row> {
protected:
    static void SetUpTestSuite()
    {
        // Loaded for the whole run, so that its shared block lives on between
        // the children and this process sees it.
        s_dll = LoadLibraryA("Sefrabox.dll");
        ASSERT_NE(nullptr, s_dll);
        s_world = std::make_unique<SuiteWorld>();
        ASSERT_EQ(0u, MakeDemoWorld(s_world->world.folder));
        s_world->config = std::make_unique<CConfigOverride>(s_world->world.Config());
    }
    static void TearDownTestSuite()
    {
        s_world.reset();
        FreeLibrary(s_dll);
    }

    static HMODULE s_dll;
    static std::unique_ptr<SuiteWorld> s_world;
};
HMODULE HostileArguments::s_dll = nullptr;
std::unique_ptr<SuiteWorld> HostileArguments::s_world;

TEST_P(HostileArguments, RefusedWithoutChange)
{
    const Row &row = GetParam();
    const BYTE *block = SharedBlockOf(s_dll);
    ASSERT_NE(nullptr, block);
    const std::vector<BYTE> blockBefore(block, block + kSharedBlockSize);
    std::map<std::string, std::string> filesBefore, filesAfter;
    Snapshot(s_world->world.folder, "", filesBefore);
    const DWORD drivesBefore = GetLogicalDrives();

    ++g_figures.run;
    const DWORD result = RunProgram(BinProgram("reliab_hostile_child.exe") + " " + row.arguments);
    EXPECT_EQ(row.expected, result) << row.arguments;

    Snapshot(s_world->world.folder, "", filesAfter);
    EXPECT_TRUE(std::memcmp(blockBefore.data(), block, kSharedBlockSize) == 0) << "the shared block changed";
    EXPECT_EQ(filesBefore, filesAfter) << "the store's files changed";
    EXPECT_EQ(drivesBefore, GetLogicalDrives()) << "the drives changed";
    if (!HasFailure())
        ++g_figures.refused;
}

INSTANTIATE_TEST_SUITE_P(EveryExport, HostileArguments, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

} // namespace
