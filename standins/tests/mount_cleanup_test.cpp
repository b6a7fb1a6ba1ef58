// mount_cleanup_test.cpp - drives removed or redefined behind the stand-ins'
// back: Dravel_Cleanup forgets their records, UnMount_Volume leaves a drive
// alone that no longer leads to the mount's content folder.
#include "drives.h"
#include "mount_fixture.h"
#include "suite/Dravel.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"

#include <string>

namespace {

// Removes a drive the way the prefix's drive settings would, without the
// stand-ins' knowledge.
void RemoveBehindTheBack(char letter, const std::string &folder)
{
    ASSERT_EQ(0u, standin::RemoveFolderDrive(letter, folder));
    ASSERT_FALSE(DriveListed(letter));
}

} // namespace

TEST_F(MountTest, CleanupForgetsMountsWhoseDriveIsGone)
{
    CTempStore store;
    char drive[10] = {};
    DWORD handle = 0;
    ASSERT_EQ(0u, Dravel_MountDriverByFileName(store.Container().c_str(), drive, &handle, 0));
    char device[768] = {};
    ASSERT_EQ(0u, MakeMountInfoByFileName(handle, device));
    RemoveBehindTheBack(drive[0], store.ContentFolder());

    // Still recorded: the letter is held until the record goes.
    char next[10] = {};
    ASSERT_TRUE(AllocDriveLetter(next));
    EXPECT_NE(drive[0], next[0]);
    Dravel_Cleanup();
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), MakeMountInfoByFileName(handle, device));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), UnMount_Volume(255, handle));
    ASSERT_TRUE(AllocDriveLetter(next));
    EXPECT_EQ(drive[0], next[0]);
}

TEST_F(MountTest, UnmountLeavesRedefinedDriveAlone)
{
    CTempStore store;
    CTempStore other;
    ASSERT_TRUE(WriteText(other.Folder() + "\\other.txt", "someone else's"));
    char drive[10] = {};
    DWORD handle = 0;
    ASSERT_EQ(0u, Dravel_MountDriverByFileName(store.Container().c_str(), drive, &handle, 0));
    RemoveBehindTheBack(drive[0], store.ContentFolder());

    // The letter now leads elsewhere; unmounting drops only the record.
    const std::string link = std::string("\\DosDevices\\") + drive;
    ASSERT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), other.Folder().c_str(), 1));
    EXPECT_EQ(0u, UnMount_Volume(255, handle));
    EXPECT_TRUE(FileExists(std::string(drive) + "\\other.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), UnMount_Volume(255, handle));
    EXPECT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), "", 0));
    EXPECT_FALSE(DriveListed(drive[0]));
}

TEST_F(MountTest, CleanupForgetsLinksWhoseDriveIsGone)
{
    CTempStore store;
    char drive[10] = {};
    ASSERT_TRUE(AllocDriveLetter(drive));
    const std::string link = std::string("\\DosDevices\\") + drive;
    ASSERT_EQ(0u, Our_IoCreateSymbolicLink(link.c_str(), store.Folder().c_str(), 1));
    Dravel_Cleanup();
    EXPECT_TRUE(DriveListed(drive[0]));
    RemoveBehindTheBack(drive[0], store.Folder());
    Dravel_Cleanup();
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), Our_IoCreateSymbolicLink(link.c_str(), "", 0));
}
