// store_mount.cpp - mounting containers and choosing drive letters.
//
// MountStoreVolume and Dravel_MountDriverByFileName both mount a container
// under a drive letter (common/mounts.h); the store's volume path is the
// raw volume "\\.\X:" (its first 512 bytes are the container's boot block,
// and "\\.\X:\name" reaches the content folder), a platform disk's result
// is the drive text "X:". Either handle goes back through UnMount_Volume.
#include "suite/Palmet.h"

#include "mounts.h"
#include "win/pointers.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kVolumePathSize = 768;
constexpr size_t kDriveTextSize = 10;

} // namespace

extern "C" {

DWORD __cdecl MountStoreVolume(const char *storeFile, DWORD *mountHandle, char *volumePath768)
{
    if (!IsReadableText(storeFile, MAX_PATH) || storeFile[0] == '\0' ||
        !IsWritableBlock(mountHandle, sizeof *mountHandle) || !IsWritableBlock(volumePath768, kVolumePathSize))
        return ERROR_INVALID_PARAMETER;
    standin::MountRecord record;
    if (const DWORD error = standin::MountContainer(storeFile, record))
        return error;
    *mountHandle = record.handle;
    memset(volumePath768, 0, kVolumePathSize);
    snprintf(volumePath768, kVolumePathSize, "\\\\.\\%c:", record.letter);
    return 0;
}

DWORD __cdecl Dravel_MountDriverByFileName(const char *file, char *driveText10, DWORD *mountHandle, DWORD)
{
    if (!IsReadableText(file, MAX_PATH) || file[0] == '\0' || !IsWritableBlock(driveText10, kDriveTextSize) ||
        !IsWritableBlock(mountHandle, sizeof *mountHandle))
        return ERROR_INVALID_PARAMETER;
    standin::MountRecord record;
    if (const DWORD error = standin::MountContainer(file, record))
        return error;
    *mountHandle = record.handle;
    memset(driveText10, 0, kDriveTextSize);
    driveText10[0] = record.letter;
    driveText10[1] = ':';
    return 0;
}

BOOL __cdecl AllocDriveLetter(char *driveText10)
{
    if (!IsWritableBlock(driveText10, kDriveTextSize))
        return FALSE;
    const char letter = standin::FreeDriveLetter();
    if (letter == 0)
        return FALSE;
    memset(driveText10, 0, kDriveTextSize);
    driveText10[0] = letter;
    driveText10[1] = ':';
    return TRUE;
}

} // extern "C"
