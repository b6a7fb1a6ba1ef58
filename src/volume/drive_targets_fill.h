// drive_targets_fill.h - the record fill of GetDriveTargets on raw bytes.
//
// Works on the disk driver's 100-byte device list (DRIVER_INFO), the
// platform's 100-byte rule buffer (TARGET_CONFIG), the 261-byte packed
// FILE_OPERATION record and the caller's two text buffers. Builds without
// Windows headers: the record's pointer fields are 32-bit little-endian
// values, computed from the addresses the caller names for its buffers, so
// the same code runs inside the 32-bit DLL and in a native test or fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drive_targets {

constexpr size_t kRecordSize = 261;
constexpr size_t kDriverInfoSize = 100;
constexpr size_t kTargetConfigSize = 100;
constexpr uint32_t kMaxTargets = 27;
// Rule entries that fit in the 100-byte rule buffer; a larger count is capped.
constexpr uint32_t kMaxRules = 16;

// FILE_OPERATION offsets.
constexpr size_t kOffDestDrive = 4;
constexpr size_t kOffDestWritable = 5;
constexpr size_t kOffDestName = 6;
constexpr size_t kOffTargetCount = 10;
constexpr size_t kOffTargetPath = 14;
constexpr size_t kOffTargetWritable = 122;
constexpr size_t kOffTargetName = 149;
constexpr size_t kOffTitle = 257;

// DRIVER_INFO: count at 1; entry i: device byte at 5 + 6i (letter index in
// bits 7..3, disk number in bits 2..0), partition identity at 6 + 6i.
constexpr size_t kOffDeviceCount = 1;
constexpr size_t kOffDevice0 = 5;
// TARGET_CONFIG: bit 7 of byte 0 = rules present; count at 1; entry j:
// flags at 4 + 6j, disk number (bits 2..0) at 5 + 6j, identity at 6 + 6j.
constexpr size_t kOffRuleCount = 1;
constexpr size_t kOffRule0 = 4;
constexpr size_t kEntrySize = 6;

constexpr uint8_t kRulesPresent = 0x80;
constexpr uint8_t kRuleInUse = 0x01;
constexpr uint8_t kRuleReadable = 0x02;
constexpr uint8_t kRuleWritable = 0x04;

// Results (Windows error codes).
constexpr uint32_t kResultOk = 0;
constexpr uint32_t kResultBufferOverflow = 111;

// The record and the caller's text buffers. pathAddress / nameAddress are
// the values stored in the record for pathBuf / nameBuf (in the DLL: the
// buffers' own addresses).
struct TargetBuffers {
    uint8_t *record; // kRecordSize bytes
    char *pathBuf;
    size_t cbPathBuf;
    uint32_t pathAddress;
    char *nameBuf;
    size_t cbNameBuf;
    uint32_t nameAddress;
};

struct TargetOptions {
    bool bDiskShift; // a rule's disk number is taken plus 1 before it is compared
    bool bSkipC;     // drive C is never listed
};

// One trace line: fmt is the line's exact format, with one or two int
// arguments (a second one is ignored by one-argument formats); line is the
// call site in drive_targets_fill.cpp.
using TraceFn = void (*)(void *context, int line, const char *fmt, int a, int b);

// Zeroes the rule buffer, the device buffer, the whole record and both text
// buffers over their given sizes.
void ResetDriveTargets(uint8_t *targetConfig, uint8_t *driverInfo, const TargetBuffers &buffers);

// Lists the devices of driverInfo (cbDriverInfo >= 2 bytes, kDriverInfoSize
// from the driver; entries that do not fit are not read) into the record,
// applying the rules of targetConfig, and sets the target count; at most
// kMaxTargets are listed. Returns kResultOk, or kResultBufferOverflow when a
// text buffer is full (the targets found so far stay listed and counted).
// Expects buffers zeroed by ResetDriveTargets.
uint32_t FillDriveTargets(const uint8_t *targetConfig, const uint8_t *driverInfo, size_t cbDriverInfo,
                          const TargetBuffers &buffers, const TargetOptions &options, TraceFn trace,
                          void *traceContext);

} // namespace drive_targets
