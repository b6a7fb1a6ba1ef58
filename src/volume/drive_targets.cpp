// drive_targets.cpp - GetDriveTargets (export 21): the drives a platform may
// see, each hidden, read-only or writable, in a FILE_OPERATION record.
//
// The device list comes from the disk driver (Palmet GetDriverInfo), the
// platform's visibility rules from its file (Palmet GetTargetConfig); the
// record itself is filled by FillDriveTargets.
#include "Sefrabox.h"

#include "diagnostics/trace.h"
#include "suite/Palmet.h"
#include "volume/drive_targets_fill.h"
#include "win/pointers.h"

#include <cstddef>
#include <cstdint>

static_assert(sizeof(FILE_OPERATION) == drive_targets::kRecordSize, "FILE_OPERATION is 261 packed bytes");
static_assert(offsetof(FILE_OPERATION, dwTargetCount) == drive_targets::kOffTargetCount, "record layout");
static_assert(offsetof(FILE_OPERATION, lpTargetPath) == drive_targets::kOffTargetPath, "record layout");
static_assert(offsetof(FILE_OPERATION, uchTargetWritable) == drive_targets::kOffTargetWritable, "record layout");
static_assert(offsetof(FILE_OPERATION, lpTargetName) == drive_targets::kOffTargetName, "record layout");
static_assert(offsetof(FILE_OPERATION, lpTitle) == drive_targets::kOffTitle, "record layout");

namespace {

// Longest platform file name accepted, in characters.
constexpr size_t kMaxPlatformFile = 128;

void TraceFill(void *, int line, const char *fmt, int a, int b)
{
    // fmt is one of the fill's own constant formats.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
    LogTraceAtLine(line, fmt, a, b);
#pragma GCC diagnostic pop
}

// Buffers are written as well as read, so both are required.
bool IsUsableBuffer(char *p, unsigned int cb) { return p && IsReadableBlock(p, cb) && IsWritableBlock(p, cb); }

} // namespace

extern "C" int __cdecl GetDriveTargets(const char *lpPlatformFile, FILE_OPERATION *lpFileOperation, char *lpPathBuf,
                                       unsigned int cbPathBuf, char *lpNameBuf, unsigned int cbNameBuf,
                                       unsigned char bDiskShift, unsigned long dwDriverArg, unsigned char bSkipC)
{
    if (!lpFileOperation || !IsWritableBlock(lpFileOperation, sizeof(FILE_OPERATION)))
        return ERROR_INVALID_PARAMETER;
    if (!IsUsableBuffer(lpPathBuf, cbPathBuf) || !IsUsableBuffer(lpNameBuf, cbNameBuf))
        return ERROR_INVALID_PARAMETER;

    BYTE targetConfig[drive_targets::kTargetConfigSize];
    BYTE driverInfo[drive_targets::kDriverInfoSize];
    const drive_targets::TargetBuffers buffers{reinterpret_cast<uint8_t *>(lpFileOperation),     lpPathBuf, cbPathBuf,
                                               uint32_t(reinterpret_cast<uintptr_t>(lpPathBuf)), lpNameBuf, cbNameBuf,
                                               uint32_t(reinterpret_cast<uintptr_t>(lpNameBuf))};
    drive_targets::ResetDriveTargets(targetConfig, driverInfo, buffers);

    if (lpPlatformFile) {
        if (!IsReadableText(lpPlatformFile, kMaxPlatformFile))
            return ERROR_INVALID_PARAMETER;
        const DWORD err = GetTargetConfig(lpPlatformFile, targetConfig);
        if (err != 0) {
            SB_TRACE("lpFileOperation->dwTargetCount = %d", 0);
            return int(err);
        }
    }

    const DWORD err = GetDriverInfo(driverInfo, dwDriverArg, 1);
    if (err != 0) {
        SB_TRACE("lpFileOperation->dwTargetCount = %d", 0);
        return int(err);
    }

    const drive_targets::TargetOptions options{bDiskShift != 0, bSkipC != 0};
    return int(drive_targets::FillDriveTargets(targetConfig, driverInfo, sizeof driverInfo, buffers, options, TraceFill,
                                               nullptr));
}
