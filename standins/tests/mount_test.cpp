// mount_test.cpp - container mounts through Palmet and Kestor under Wine:
// the store's raw volume, its content folder, platform-disk drives,
// unmounting from another process, free letters and refused arguments.
#include "mount_fixture.h"
#include "suite/Dravel.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "win/handles.h"

#include <cstring>
#include <string>

namespace {

// The letter of a volume path "\\.\X:".
char VolumeLetter(const char *path)
{
    return strlen(path) == 6 && strncmp(path, "\\\\.\\", 4) == 0 && path[5] == ':' ? path[4] : 0;
}

bool ReadBootBlock(const std::string &device, BYTE (&boot)[512])
{
    CFileHandle volume(CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD done = 0;
    return volume && ReadFile(volume.Get(), boot, sizeof boot, &done, nullptr) && done == sizeof boot;
}

} // namespace

TEST_F(MountTest, StoreVolumeReadsBootBlockAndReachesContentFolder)
{
    CTempStore store(1);
    DWORD handle = 0;
    char path[768];
    memset(path, 'x', sizeof path);
    ASSERT_EQ(0u, MountStoreVolume(store.Container().c_str(), &handle, path));
    EXPECT_NE(0u, handle);
    const char letter = VolumeLetter(path);
    ASSERT_NE(0, letter) << path;
    EXPECT_EQ(std::string(sizeof path - 7, '\0'), std::string(path + 7, sizeof path - 7));
    EXPECT_TRUE(DriveListed(letter));

    BYTE boot[512] = {};
    ASSERT_TRUE(ReadBootBlock(path, boot));
    EXPECT_EQ(1, boot[0x41]);
    EXPECT_EQ(0, memcmp(boot + 3, "SEFRAVPF", 8));

    const std::string volume = path;
    ASSERT_TRUE(CreateDirectoryA((volume + "\\Folder1").c_str(), nullptr));
    ASSERT_TRUE(WriteText(volume + "\\Folder1\\note.txt", "through the volume"));
    std::string data;
    data = ReadText(store.ContentFolder() + "\\Folder1\\note.txt");
    EXPECT_EQ("through the volume", data);
    ASSERT_TRUE(WriteText(store.ContentFolder() + "\\Sefrabox.ini", "[1]\r\n"));
    data = ReadText(volume + "\\Sefrabox.ini");
    EXPECT_EQ("[1]\r\n", data);
    // Folder walks work on the volume path as well.
    WIN32_FIND_DATAA found{};
    CFindHandle find(FindFirstFileA((volume + "\\Folder1\\*.*").c_str(), &found));
    ASSERT_TRUE(find);
    bool listed = false;
    do
        listed = listed || strcmp(found.cFileName, "note.txt") == 0;
    while (FindNextFileA(find.Get(), &found));
    find.Reset();
    EXPECT_TRUE(listed);
    ASSERT_TRUE(DeleteFileA((volume + "\\Folder1\\note.txt").c_str()));
    ASSERT_TRUE(RemoveDirectoryA((volume + "\\Folder1").c_str()));
    EXPECT_FALSE(FileExists(store.ContentFolder() + "\\Folder1"));
    ASSERT_TRUE(CreateDirectoryA((volume + "\\Folder1").c_str(), nullptr));
    ASSERT_TRUE(WriteText(volume + "\\Folder1\\note.txt", "through the volume"));

    EXPECT_EQ(0u, UnMount_Volume(255, handle));
    EXPECT_FALSE(DriveListed(letter));
    EXPECT_FALSE(ReadBootBlock(path, boot));
    EXPECT_FALSE(FileExists(volume + "\\Sefrabox.ini"));
    // The content stays with the container for the next mount.
    EXPECT_TRUE(FileExists(store.ContentFolder() + "\\Folder1\\note.txt"));
    ASSERT_EQ(0u, MountStoreVolume(store.Container().c_str(), &handle, path));
    data = ReadText(std::string(path) + "\\Folder1\\note.txt");
    EXPECT_EQ("through the volume", data);
    EXPECT_EQ(0u, UnMount_Volume(255, handle));
}

TEST_F(MountTest, SecondProcessUnmountsWithTheHandle)
{
    CTempStore store;
    DWORD handle = 0;
    char path[768] = {};
    ASSERT_EQ(0u, MountStoreVolume(store.Container().c_str(), &handle, path));
    const char letter = VolumeLetter(path);
    ASSERT_NE(0, letter);

    EXPECT_EQ(0u, UnmountInChild("255", handle));
    EXPECT_FALSE(DriveListed(letter));
    BYTE boot[512] = {};
    EXPECT_FALSE(ReadBootBlock(path, boot));
    // Once is enough: later calls, here or there, change nothing.
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), UnmountInChild("255", handle));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), UnMount_Volume(255, handle));
    EXPECT_TRUE(FileExists(store.Container()));
}

TEST_F(MountTest, MissingOrUnusableContainerLeavesNoDrive)
{
    CTempStore store;
    const DWORD drives = GetLogicalDrives();
    DWORD handle = 0x1234;
    char path[768] = {};
    char drive[10] = {};
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND),
              MountStoreVolume((store.Folder() + "\\missing.vpf").c_str(), &handle, path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND),
              MountStoreVolume((store.Folder() + "\\nowhere\\Sefra.vpf").c_str(), &handle, path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND),
              Dravel_MountDriverByFileName((store.Folder() + "\\missing.vpf").c_str(), drive, &handle, 0));
    ASSERT_TRUE(WriteText(store.Folder() + "\\short.vpf", std::string(100, '\0')));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA),
              MountStoreVolume((store.Folder() + "\\short.vpf").c_str(), &handle, path));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), MountStoreVolume(store.Folder().c_str(), &handle, path));

    EXPECT_EQ(0x1234u, handle);
    EXPECT_EQ(std::string(sizeof path, '\0'), std::string(path, sizeof path));
    EXPECT_EQ(std::string(sizeof drive, '\0'), std::string(drive, sizeof drive));
    EXPECT_EQ(drives, GetLogicalDrives());
    EXPECT_FALSE(FileExists(store.Folder() + "\\missing.vpf.files"));
}

TEST_F(MountTest, DiskDriveExposesContainerAsRawDevice)
{
    CTempStore store(1);
    char drive[10];
    memset(drive, 'x', sizeof drive);
    DWORD handle = 0;
    ASSERT_EQ(0u, Dravel_MountDriverByFileName(store.Container().c_str(), drive, &handle, 0));
    EXPECT_NE(0u, handle);
    const char letter = drive[0];
    ASSERT_TRUE(letter >= 'D' && letter <= 'Z') << drive;
    EXPECT_EQ(':', drive[1]);
    EXPECT_EQ(std::string(8, '\0'), std::string(drive + 2, 8));

    // The root is the content folder.
    ASSERT_TRUE(WriteText(std::string(drive) + "\\FILE0000.CHK", "fragment"));
    EXPECT_TRUE(FileExists(store.ContentFolder() + "\\FILE0000.CHK"));

    // A check program clears the dirty flag through the raw device; the
    // container file on disk carries the change.
    {
        CFileHandle volume(CreateFileA((std::string("\\\\.\\") + drive).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(volume);
        BYTE boot[512] = {};
        DWORD done = 0;
        ASSERT_TRUE(ReadFile(volume.Get(), boot, sizeof boot, &done, nullptr));
        ASSERT_EQ(1, boot[0x41]);
        boot[0x41] = 0;
        ASSERT_NE(INVALID_SET_FILE_POINTER, SetFilePointer(volume.Get(), 0, nullptr, FILE_BEGIN));
        ASSERT_TRUE(WriteFile(volume.Get(), boot, sizeof boot, &done, nullptr));
    }
    std::string image;
    image = ReadText(store.Container());
    ASSERT_EQ(64u * 1024, image.size());
    EXPECT_EQ('\0', image[0x41]);

    // Another letter is refused and the mount stays; its own letter, in
    // either case, unmounts it.
    const char other = letter == 'Q' ? 'R' : 'Q';
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), UnMount_Volume(static_cast<BYTE>(other), handle));
    EXPECT_TRUE(DriveListed(letter));
    EXPECT_EQ(0u, UnMount_Volume(static_cast<BYTE>(letter - 'A' + 'a'), handle));
    EXPECT_FALSE(DriveListed(letter));
    EXPECT_FALSE(FileExists(std::string(drive) + "\\FILE0000.CHK"));
}

TEST_F(MountTest, AllocDriveLetterGivesUnusedLetters)
{
    char first[10] = {};
    ASSERT_TRUE(AllocDriveLetter(first));
    ASSERT_TRUE(first[0] >= 'D' && first[0] <= 'Z') << first;
    EXPECT_EQ(':', first[1]);
    EXPECT_EQ(std::string(8, '\0'), std::string(first + 2, 8));
    EXPECT_FALSE(DriveListed(first[0]));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((std::string(first) + "\\").c_str()));

    // A mounted container holds its letter: the next answer differs.
    CTempStore store;
    char drive[10] = {};
    DWORD handle = 0;
    ASSERT_EQ(0u, Dravel_MountDriverByFileName(store.Container().c_str(), drive, &handle, 0));
    char second[10] = {};
    ASSERT_TRUE(AllocDriveLetter(second));
    EXPECT_NE(drive[0], second[0]);
    EXPECT_FALSE(DriveListed(second[0]));
    EXPECT_EQ(0u, UnMount_Volume(255, handle));
}

TEST_F(MountTest, UnusableArgumentsAreRefusedAndBuffersKeptTo)
{
    CTempStore store;
    const std::string container = store.Container();
    DWORD handle = 0;
    char path[768] = {};
    char drive[10] = {};
    EXPECT_EQ(87u, MountStoreVolume(nullptr, &handle, path));
    EXPECT_EQ(87u, MountStoreVolume("", &handle, path));
    EXPECT_EQ(87u, MountStoreVolume(container.c_str(), nullptr, path));
    EXPECT_EQ(87u, MountStoreVolume(container.c_str(), &handle, nullptr));
    EXPECT_EQ(87u, Dravel_MountDriverByFileName(nullptr, drive, &handle, 0));
    EXPECT_EQ(87u, Dravel_MountDriverByFileName(container.c_str(), nullptr, &handle, 0));
    EXPECT_EQ(87u, Dravel_MountDriverByFileName(container.c_str(), drive, nullptr, 0));
    EXPECT_FALSE(AllocDriveLetter(nullptr));
    EXPECT_EQ(87u, MakeMountInfoByFileName(1, nullptr));
    EXPECT_EQ(87u, Our_IoCreateSymbolicLink(nullptr, "C:\\", 1));
    EXPECT_EQ(87u, Our_IoCreateSymbolicLink("\\DosDevices\\Q:", nullptr, 1));

    // Unreadable names and read-only buffers.
    CGuardedBuffer noAccess(16, PAGE_NOACCESS);
    EXPECT_EQ(87u, MountStoreVolume(noAccess.Get(), &handle, path));
    EXPECT_EQ(87u, Our_IoCreateSymbolicLink(noAccess.Get(), "C:\\", 1));
    CGuardedBuffer readOnlyPath(768, PAGE_READONLY);
    EXPECT_EQ(87u, MountStoreVolume(container.c_str(), &handle, readOnlyPath.Get()));
    EXPECT_EQ(87u, MakeMountInfoByFileName(1, readOnlyPath.Get()));
    CGuardedBuffer readOnlyDrive(10, PAGE_READONLY);
    EXPECT_FALSE(AllocDriveLetter(readOnlyDrive.Get()));
    EXPECT_EQ(87u, Dravel_MountDriverByFileName(container.c_str(), readOnlyDrive.Get(), &handle, 0));
    EXPECT_EQ(std::string(10, '\0'), std::string(readOnlyDrive.Get(), 10));
    EXPECT_EQ(0u, handle);

    // Buffers of exactly the stated size, followed by a page that faults.
    CGuardedBuffer exactDrive(10);
    ASSERT_TRUE(AllocDriveLetter(exactDrive.Get()));
    EXPECT_EQ(':', exactDrive.Get()[1]);
    CGuardedBuffer exactPath(768);
    ASSERT_EQ(0u, MountStoreVolume(container.c_str(), &handle, exactPath.Get()));
    CGuardedBuffer exactName(768);
    EXPECT_EQ(0u, MakeMountInfoByFileName(handle, exactName.Get()));
    EXPECT_EQ(0u, UnMount_Volume(255, handle));
    ASSERT_EQ(0u, Dravel_MountDriverByFileName(container.c_str(), exactDrive.Get(), &handle, 0));
    EXPECT_EQ(0u, UnMount_Volume(255, handle));
}

TEST_F(MountTest, DiskCheckClearsDirtyFlagThroughMountedDrive)
{
    // The store's way through a check: mount, see the flag, remount under a
    // drive letter, run the check program on the drive, unmount, remount.
    CTempStore store(1);
    DWORD storeHandle = 0;
    char volume[768] = {};
    ASSERT_EQ(0u, MountStoreVolume(store.Container().c_str(), &storeHandle, volume));
    BYTE boot[512] = {};
    ASSERT_TRUE(ReadBootBlock(volume, boot));
    ASSERT_NE(0, boot[0x41]);
    EXPECT_EQ(0u, UnMount_Volume(255, storeHandle));

    char drive[10] = {};
    DWORD handle = 0;
    ASSERT_EQ(0u, Dravel_MountDriverByFileName(store.Container().c_str(), drive, &handle, 0));
    DWORD mode = 3;
    EXPECT_EQ(0u, RunChkdsk(drive, &mode, "/x /f", 0, 0));
    EXPECT_EQ(0u, UnMount_Volume(static_cast<BYTE>(drive[0]), handle));

    ASSERT_EQ(0u, MountStoreVolume(store.Container().c_str(), &storeHandle, volume));
    ASSERT_TRUE(ReadBootBlock(volume, boot));
    EXPECT_EQ(0, boot[0x41]);
    EXPECT_EQ(0u, UnMount_Volume(255, storeHandle));
}
