// DeleteSefra through the export, on a store mounted by the stand-in
// libraries: what it removes, what it leaves, and that it leaves no drive,
// no mount and no held lock behind.
#include "Sefrabox.h"

#include "files.h"
#include "machine_state.h"
#include "shared_section.h"
#include "suite/Palmet.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// A symbolic link at link to target. Under Wine, the system's ln run as a
// Unix program (Wine lists a link to a folder with attributes 0x410 and one
// to a file as a plain file); elsewhere CreateSymbolicLinkA.
bool MakeLink(const std::string &target, const std::string &link, bool folder)
{
    using UnixName = char *(CDECL *)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return CreateSymbolicLinkA(link.c_str(), target.c_str(), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) != 0;
    auto unix = [unixName](const std::string &path) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        char *name = unixName(wide);
        const std::string result = name ? name : "";
        HeapFree(GetProcessHeap(), 0, name);
        return result;
    };
    std::string command = "ln -s \"" + unix(target) + "\" \"" + unix(link) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA("Z:\\bin\\ln", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return false;
    CKernelHandle process(started.hProcess), thread(started.hThread);
    for (int i = 0; i < 250 && !FileExists(link); ++i)
        Sleep(20);
    return FileExists(link);
}

// A store: "Sefra.vpf" with a clean boot block, its content folder with the
// profile, and one folder with a file per record.
class DeleteSefraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_before = TakeMachineState();
        ASSERT_TRUE(WriteText(Store(), std::string(64 * 1024, '\0')));
        ASSERT_TRUE(CreateDirectoryA(Content().c_str(), nullptr));

        m_dll = GetModuleHandleA("Sefrabox.dll");
        ASSERT_NE(nullptr, m_dll);
        m_block = SharedBlockOf(m_dll);
        ASSERT_NE(nullptr, m_block);
    }

    void TearDown() override
    {
        EXPECT_EQ("", CSharedView(m_block).Leftovers());
        EXPECT_EQ(m_before, TakeMachineState()) << "something was left behind";
    }

    std::string Store() const { return m_root / "Sefra.vpf"; }
    std::string Content() const { return Store() + ".files"; }
    std::string Profile() const { return Content() + "\\Sefrabox.ini"; }

    void AddRecord(int record, int id, const std::string &target, const std::string &password, bool withFolder = true)
    {
        const std::string section = std::to_string(record);
        WritePrivateProfileStringA(section.c_str(), "id", std::to_string(id).c_str(), Profile().c_str());
        WritePrivateProfileStringA(section.c_str(), "Target", target.c_str(), Profile().c_str());
        WritePrivateProfileStringA(section.c_str(), "Password", password.c_str(), Profile().c_str());
        if (withFolder) {
            const std::string folder = Content() + "\\" + target;
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
            ASSERT_TRUE(CreateDirectoryA((folder + "\\sub").c_str(), nullptr));
            ASSERT_TRUE(WriteText(folder + "\\sub\\note.txt", "note"));
            ASSERT_TRUE(WriteText(folder + "\\top.txt", "top"));
        }
    }

    std::string Password(int record) const
    {
        char value[64] = {};
        GetPrivateProfileStringA(std::to_string(record).c_str(), "Password", "?", value, sizeof value,
                                 Profile().c_str());
        return value;
    }

    CScratchFolder m_root;
    MachineState m_before;
    HMODULE m_dll = nullptr;
    BYTE *m_block = nullptr;
    DWORD m_drivesBefore = 0;
};

TEST_F(DeleteSefraTest, EmptiesEveryRecordOfThePlatformAndKeepsTheOthers)
{
    AddRecord(1, 7, "First", "'one'");
    AddRecord(2, 9, "Other", "'keep'");
    AddRecord(3, 7, "Third", "'three'");

    EXPECT_EQ(0, DeleteSefra(Store().c_str(), 7));

    EXPECT_FALSE(FileExists(Content() + "\\First"));
    EXPECT_FALSE(FileExists(Content() + "\\Third"));
    EXPECT_TRUE(FileExists(Content() + "\\Other\\sub\\note.txt"));
    EXPECT_EQ("", Password(1));
    EXPECT_EQ("", Password(3));
    EXPECT_EQ("keep", Password(2)); // the profile reader drops the quotes
    // The records themselves stay.
    char target[32] = {};
    GetPrivateProfileStringA("1", "Target", "", target, sizeof target, Profile().c_str());
    EXPECT_STREQ("First", target);
}

TEST_F(DeleteSefraTest, UnknownPlatformChangesNothing)
{
    AddRecord(1, 7, "First", "'one'");
    EXPECT_EQ(0, DeleteSefra(Store().c_str(), 8));
    EXPECT_TRUE(FileExists(Content() + "\\First\\top.txt"));
    EXPECT_EQ("one", Password(1));
}

TEST_F(DeleteSefraTest, MissingFolderGivesTheNotFoundErrorOfTheLastRecord)
{
    AddRecord(1, 7, "First", "'one'");
    AddRecord(2, 7, "Gone", "'two'", false);
    const int result = DeleteSefra(Store().c_str(), 7);
    EXPECT_TRUE(result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND) << result;
    // The earlier record was emptied all the same.
    EXPECT_FALSE(FileExists(Content() + "\\First"));
    EXPECT_EQ("", Password(2));
}

TEST_F(DeleteSefraTest, TargetsThatNameAnythingButTheirOwnFolderAreNeverRemoved)
{
    // A folder beside the content folder, one inside it named like it, and
    // another platform's sefra.
    ASSERT_TRUE(CreateDirectoryA((m_root / "victim").c_str(), nullptr));
    ASSERT_TRUE(WriteText(m_root / "victim\\precious.txt", "x"));
    ASSERT_TRUE(CreateDirectoryA((Content() + "\\victim").c_str(), nullptr));
    AddRecord(3, 9, "First", "'keep'");
    AddRecord(2, 7, "a/b", "'two'", false);
    // Outside the store; the store's root, or the other sefra, as the path
    // rules read the name (quotes keep the blanks); a device; a wildcard.
    for (const char *target : {"..\\victim", "...", "' '", "First.", "'First '", "NUL", "Fir*"}) {
        AddRecord(1, 7, target, "'one'", false);
        EXPECT_EQ(0, DeleteSefra(Store().c_str(), 7)) << target;
        EXPECT_EQ("one", Password(1)) << "an unusable record is left alone: " << target;
    }
    EXPECT_TRUE(FileExists(m_root / "victim\\precious.txt"));
    EXPECT_TRUE(FileExists(Content() + "\\victim"));
    EXPECT_TRUE(FileExists(Content() + "\\First\\sub\\note.txt"));
    EXPECT_EQ("keep", Password(3));
}

TEST_F(DeleteSefraTest, AFolderThatStaysKeepsItsPassword)
{
    // A read-only file stops the removal part-way.
    AddRecord(1, 7, "First", "'one'");
    const std::string locked = Content() + "\\First\\sub\\note.txt";
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteSefra(Store().c_str(), 7));
    EXPECT_TRUE(FileExists(locked));
    EXPECT_EQ("one", Password(1)) << "what is left lost its password";

    // A folder that another platform's record names as well (the system
    // does not tell the letter case apart) is not touched.
    AddRecord(2, 8, "Shared", "'two'");
    AddRecord(3, 9, "sHARED", "'three'", false);
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteSefra(Store().c_str(), 8));
    EXPECT_TRUE(FileExists(Content() + "\\Shared\\sub\\note.txt"));
    EXPECT_EQ("two", Password(2));
}

TEST_F(DeleteSefraTest, ANameEndingInATrailByteOfBackslashIsJoinedWhole)
{
    // 私密誠: the trail byte of 誠 (D5 5C) is the code of '\'. Its sibling
    // 私密誠2 would match a search joined without a separator.
    const std::string name = "\xCB\xBD\xC3\xDC\xD5\x5C";
    AddRecord(1, 7, name, "'one'");
    AddRecord(2, 9, name + "2", "'two'");
    const std::string inner = Content() + "\\" + name + "\\" + name;
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
    ASSERT_TRUE(WriteText(inner + "\\deep.txt", "deep"));

    EXPECT_EQ(0, DeleteSefra(Store().c_str(), 7));
    EXPECT_FALSE(FileExists(Content() + "\\" + name));
    EXPECT_EQ("", Password(1));
    EXPECT_TRUE(FileExists(Content() + "\\" + name + "2\\sub\\note.txt"));
    EXPECT_EQ("two", Password(2));
}

TEST_F(DeleteSefraTest, LinksGoThemselvesAndWhatTheyLeadToOutsideTheStoreStays)
{
    // Outside the store: a folder with a file, another one, a single file.
    const std::string outside = m_root / "outside", other = m_root / "other";
    for (const std::string &folder : {outside, other}) {
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(WriteText(folder + "\\keep.txt", "keep"));
    }
    ASSERT_TRUE(WriteText(m_root / "alone.txt", "alone"));
    // Inside the sefra, links to them; the second sefra's folder is a link.
    AddRecord(1, 7, "First", "'one'");
    AddRecord(2, 7, "Linked", "'two'", false);
    ASSERT_TRUE(MakeLink(outside, Content() + "\\First\\to_folder", true));
    ASSERT_TRUE(MakeLink(m_root / "alone.txt", Content() + "\\First\\sub\\to_file", false));
    ASSERT_TRUE(MakeLink(other, Content() + "\\Linked", true));
    ASSERT_EQ(DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              GetFileAttributesA((Content() + "\\First\\to_folder").c_str()) & 0x410);

    EXPECT_EQ(0, DeleteSefra(Store().c_str(), 7));
    EXPECT_FALSE(FileExists(Content() + "\\First"));
    EXPECT_FALSE(FileExists(Content() + "\\Linked"));
    EXPECT_TRUE(FileExists(outside + "\\keep.txt"));
    EXPECT_TRUE(FileExists(other + "\\keep.txt"));
    EXPECT_TRUE(FileExists(m_root / "alone.txt"));
    EXPECT_EQ("", Password(1));
}

TEST_F(DeleteSefraTest, StoreMountedByADialogIsRefusedWith123)
{
    AddRecord(1, 7, "First", "'one'");
    // What an open dialog leaves in the shared block.
    lstrcpynA(reinterpret_cast<char *>(m_block + kVolumeNameOffset), "\\\\.\\Q:\\", 768);
    const int result = DeleteSefra(Store().c_str(), 7);
    m_block[kVolumeNameOffset] = '\0';
    EXPECT_EQ(ERROR_INVALID_NAME, result);
    EXPECT_TRUE(FileExists(Content() + "\\First\\top.txt"));
    EXPECT_EQ("one", Password(1));
}

TEST_F(DeleteSefraTest, MissingStoreFailsWithTheMountError)
{
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteSefra((m_root / "NoSuch.vpf").c_str(), 7));
}

TEST_F(DeleteSefraTest, UnreadableNameIsRefusedWithoutTouchingTheLock)
{
    volatile LONG *lock = MountVolumeLockOf(m_dll);
    ASSERT_TRUE(TryTakeLock(lock)); // a holder elsewhere: the call must not wait
    EXPECT_EQ(ERROR_INVALID_PARAMETER, DeleteSefra(nullptr, 7));
    void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, DeleteSefra(static_cast<const char *>(page), 7));
    VirtualFree(page, 0, MEM_RELEASE);
    EXPECT_EQ(1, *lock);
    InterlockedExchange(lock, 0);
}

} // namespace
