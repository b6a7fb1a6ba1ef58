// link_test.cpp - drive links in the driver's name space (Kestor): a free
// letter linked to a folder of the mounted store under the store's device
// name, links to plain paths, refusals, and Dravel's clean-up.
#include "mount_fixture.h"
#include "suite/Dravel.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"

#include <cstring>
#include <string>

namespace {

// A mounted store; unmounted at the end of the test.
struct MountedStore {
    CTempStore store;
    DWORD handle = 0;
    char volume[768] = {};
    DWORD result = MountStoreVolume(store.Container().c_str(), &handle, volume);
    ~MountedStore()
    {
        if (result == 0) {
            EXPECT_EQ(0u, UnMount_Volume(255, handle));
        }
    }
};

std::string LinkName(const char *drive) { return std::string("\\DosDevices\\") + drive; }

} // namespace

TEST_F(MountTest, LinkedDriveLeadsToFolderUnderDeviceName)
{
    MountedStore mounted;
    ASSERT_EQ(0u, mounted.result);
    char device[768];
    memset(device, 'x', sizeof device);
    ASSERT_EQ(0u, MakeMountInfoByFileName(mounted.handle, device));
    EXPECT_EQ(0, strncmp(device, "\\Device\\", 8)) << device;
    EXPECT_EQ('\0', device[sizeof device - 1]);

    const std::string volume = mounted.volume;
    ASSERT_TRUE(CreateDirectoryA((volume + "\\Folder1").c_str(), nullptr));
    ASSERT_TRUE(WriteText(mounted.store.ContentFolder() + "\\Folder1\\a.txt", "in the sefra"));

    char drive[10] = {};
    ASSERT_TRUE(AllocDriveLetter(drive));
    const std::string link = LinkName(drive);
    const std::string target = std::string(device) + "\\Folder1";
    ASSERT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), target.c_str(), 1));
    EXPECT_TRUE(DriveListed(drive[0]));
    std::string data;
    data = ReadText(std::string(drive) + "\\a.txt");
    EXPECT_EQ("in the sefra", data);
    ASSERT_TRUE(WriteText(std::string(drive) + "\\b.txt", "copied in"));
    EXPECT_TRUE(FileExists(mounted.store.ContentFolder() + "\\Folder1\\b.txt"));

    // The letter is taken now, for links and for the allocator.
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_ASSIGNED), Our_IoCreateSymbolicLink(link.c_str(), target.c_str(), 1));
    char next[10] = {};
    ASSERT_TRUE(AllocDriveLetter(next));
    EXPECT_NE(drive[0], next[0]);

    EXPECT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), "", 0));
    EXPECT_FALSE(DriveListed(drive[0]));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((std::string(drive) + "\\a.txt").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), Our_IoCreateSymbolicLink(link.c_str(), "", 0));
    // The folder itself is untouched.
    EXPECT_TRUE(FileExists(volume + "\\Folder1\\b.txt"));
}

TEST_F(MountTest, LinksToNtAndDosPaths)
{
    CTempStore store;
    ASSERT_TRUE(WriteText(store.Folder() + "\\plain.txt", "plain"));
    char drive[10] = {};
    ASSERT_TRUE(AllocDriveLetter(drive));
    const std::string link = std::string("\\??\\") + drive;
    for (const std::string &target : {store.Folder(), "\\??\\" + store.Folder() + "\\"}) {
        ASSERT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), target.c_str(), 1)) << target;
        EXPECT_TRUE(FileExists(std::string(drive) + "\\plain.txt")) << target;
        EXPECT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), nullptr, 0)) << target;
        EXPECT_FALSE(DriveListed(drive[0])) << target;
    }
}

TEST_F(MountTest, LinkRefusalsChangeNothing)
{
    MountedStore mounted;
    ASSERT_EQ(0u, mounted.result);
    char device[768] = {};
    ASSERT_EQ(0u, MakeMountInfoByFileName(mounted.handle, device));
    char drive[10] = {};
    ASSERT_TRUE(AllocDriveLetter(drive));
    const std::string link = LinkName(drive);
    const DWORD drives = GetLogicalDrives();

    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
              Our_IoCreateSymbolicLink(link.c_str(), (std::string(device) + "\\NoSuchFolder").c_str(), 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
              Our_IoCreateSymbolicLink(link.c_str(), "\\Device\\SefraVolumeFFFFFFF0\\Folder1", 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
              Our_IoCreateSymbolicLink(link.c_str(), (std::string(device) + "X").c_str(), 1));
    EXPECT_EQ(87u, Our_IoCreateSymbolicLink(link.c_str(), "", 1));
    EXPECT_EQ(87u, Our_IoCreateSymbolicLink(link.c_str(), device, 2));
    for (const char *bad : {"Q:", "\\DosDevices\\", "\\DosDevices\\1:", "\\DosDevices\\QQ", "\\DosDevices\\Q:\\"})
        EXPECT_EQ(87u, Our_IoCreateSymbolicLink(bad, device, 1)) << bad;
    // Drive C is in use and is no link of ours: neither replaced nor removed.
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_ASSIGNED), Our_IoCreateSymbolicLink("\\DosDevices\\C:", device, 1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), Our_IoCreateSymbolicLink("\\DosDevices\\C:", "", 0));
    EXPECT_TRUE(FileExists("C:\\windows"));
    EXPECT_EQ(drives, GetLogicalDrives());
}

TEST_F(MountTest, DeviceNameAndHandleEndWithTheMount)
{
    DWORD handle = 0;
    char device[768] = {};
    {
        MountedStore mounted;
        ASSERT_EQ(0u, mounted.result);
        handle = mounted.handle;
        ASSERT_EQ(0u, MakeMountInfoByFileName(handle, device));
        // Clean-up keeps what still stands, however often it runs.
        Dravel_Cleanup();
        Dravel_Cleanup();
        char again[768] = {};
        ASSERT_EQ(0u, MakeMountInfoByFileName(handle, again));
        EXPECT_STREQ(device, again);
    }
    char after[768] = {};
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), MakeMountInfoByFileName(handle, after));
    EXPECT_EQ(std::string(sizeof after, '\0'), std::string(after, sizeof after));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), MakeMountInfoByFileName(0, after));
    char drive[10] = {};
    ASSERT_TRUE(AllocDriveLetter(drive));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), Our_IoCreateSymbolicLink(LinkName(drive).c_str(), device, 1));
    Dravel_Cleanup();
}

TEST_F(MountTest, LinkReachesFolderWithDoubleByteName)
{
    MountedStore mounted;
    ASSERT_EQ(0u, mounted.result);
    char device[768] = {};
    ASSERT_EQ(0u, MakeMountInfoByFileName(mounted.handle, device));
    // 保险箱乗: the last character's trail byte is 0x5C, a backslash.
    const std::string name = "\xB1\xA3\xCF\xD5\xCF\xE4\x81\x5C";
    ASSERT_TRUE(CreateDirectoryA((std::string(mounted.volume) + "\\" + name).c_str(), nullptr));
    ASSERT_TRUE(WriteText(std::string(mounted.volume) + "\\" + name + "\\c.txt", "double-byte"));

    char drive[10] = {};
    ASSERT_TRUE(AllocDriveLetter(drive));
    const std::string link = LinkName(drive);
    ASSERT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), (std::string(device) + "\\" + name).c_str(), 1));
    std::string data;
    data = ReadText(std::string(drive) + "\\c.txt");
    EXPECT_EQ("double-byte", data);
    EXPECT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), "", 0));
    EXPECT_FALSE(DriveListed(drive[0]));
}
