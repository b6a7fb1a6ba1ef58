// unmount.cpp - UnMount_Volume and MakeMountInfoByFileName: the mount
// handles made by Palmet's mount calls, looked up in the mount table.
#include "suite/Kestor.h"

#include "mounts.h"
#include "win/pointers.h"

#include <cstring>

namespace {

constexpr size_t kDeviceNameSize = 768;

} // namespace

extern "C" {

// drive: 255 or the mount's letter; any other letter is refused (87) and
// leaves the mount in place. A handle that is not mounted gives 6.
DWORD __cdecl UnMount_Volume(DWORD drive, DWORD mountHandle) { return standin::UnmountContainer(drive, mountHandle); }

// The device name "\Device\SefraVolumeNNNNNNNN" (the handle in hex), which
// Our_IoCreateSymbolicLink takes as the start of a link target.
DWORD __cdecl MakeMountInfoByFileName(DWORD mountHandle, char *deviceName768)
{
    if (!IsWritableBlock(deviceName768, kDeviceNameSize))
        return ERROR_INVALID_PARAMETER;
    standin::MountRecord record;
    {
        standin::CMountTableLock lock;
        if (!standin::FindMount(mountHandle, record))
            return ERROR_INVALID_HANDLE;
    }
    const std::string name = standin::DeviceNameOf(mountHandle);
    memset(deviceName768, 0, kDeviceNameSize);
    memcpy(deviceName768, name.c_str(), name.size());
    return 0;
}

} // extern "C"
