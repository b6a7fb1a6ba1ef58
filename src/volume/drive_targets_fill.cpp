// drive_targets_fill.cpp - ResetDriveTargets and FillDriveTargets.
#include "volume/drive_targets_fill.h"

#include <cstring>

namespace drive_targets {

namespace {

uint32_t ReadLe32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void WriteLe32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

void Trace(TraceFn trace, void *context, int line, const char *fmt, int a, int b = 0)
{
    if (trace)
        trace(context, line, fmt, a, b);
}

enum class Access { Writable, Readable, Hidden };

// Applies the matching rules in order: a later writable or readable rule
// overrides an earlier one, a hide rule ends the walk.
Access ApplyRules(const uint8_t *config, uint8_t disk, uint32_t identity, bool diskShift, int nTarget, TraceFn trace,
                  void *context)
{
    Access access = Access::Writable;
    if ((config[0] & kRulesPresent) == 0)
        return access;
    uint32_t count = config[kOffRuleCount];
    if (count > kMaxRules)
        count = kMaxRules;
    for (uint32_t j = 0; j < count; ++j) {
        const uint8_t *rule = config + kOffRule0 + kEntrySize * j;
        if ((rule[0] & kRuleInUse) == 0)
            continue;
        // Plus 1 without wrapping: a shifted rule for disk 7 matches nothing.
        const unsigned ruleDisk = (rule[1] & 0x07u) + (diskShift ? 1u : 0u);
        if (ruleDisk != disk || ReadLe32(rule + 2) != identity)
            continue;
        if (rule[0] & kRuleWritable) {
            access = Access::Writable;
            Trace(trace, context, __LINE__, "nTarget = %d, Writable", nTarget);
        } else if (rule[0] & kRuleReadable) {
            access = Access::Readable;
            Trace(trace, context, __LINE__, "nTarget = %d, Readable", nTarget);
        } else {
            Trace(trace, context, __LINE__, "nTarget = %d, Hide", nTarget);
            return Access::Hidden;
        }
    }
    return access;
}

} // namespace

void ResetDriveTargets(uint8_t *targetConfig, uint8_t *driverInfo, const TargetBuffers &buffers)
{
    std::memset(targetConfig, 0, kTargetConfigSize);
    std::memset(driverInfo, 0, kDriverInfoSize);
    std::memset(buffers.record, 0, kRecordSize);
    if (buffers.cbPathBuf)
        std::memset(buffers.pathBuf, 0, buffers.cbPathBuf);
    if (buffers.cbNameBuf)
        std::memset(buffers.nameBuf, 0, buffers.cbNameBuf);
}

uint32_t FillDriveTargets(const uint8_t *targetConfig, const uint8_t *driverInfo, size_t cbDriverInfo,
                          const TargetBuffers &buffers, const TargetOptions &options, TraceFn trace, void *traceContext)
{
    uint8_t *const record = buffers.record;
    const uint8_t deviceCount = driverInfo[kOffDeviceCount];
    Trace(trace, traceContext, __LINE__, "stDriverInfo.u8_valid_dev_list_count = 0x%02X", deviceCount);

    uint32_t result = kResultOk;
    uint32_t n = 0;
    size_t pathUsed = 0;
    size_t nameUsed = 0;
    const size_t fitting = cbDriverInfo < kOffDevice0 ? 0 : (cbDriverInfo - kOffDevice0) / kEntrySize;
    const uint32_t devices = deviceCount < fitting ? deviceCount : uint32_t(fitting);
    for (uint32_t i = 0; i < devices && n < kMaxTargets; ++i) {
        const uint8_t *device = driverInfo + kOffDevice0 + kEntrySize * i;
        // Letter index 0..31 from five bits: indexes past Z give the
        // characters after 'Z', as the driver reports them.
        const char text[3] = {char('A' + (device[0] >> 3)), ':', '\0'};
        const size_t cbText = sizeof text;
        if (options.bSkipC && text[0] == 'C')
            continue;
        if (buffers.cbPathBuf < pathUsed + cbText || buffers.cbNameBuf < nameUsed + cbText) {
            result = kResultBufferOverflow;
            break;
        }
        std::memcpy(buffers.pathBuf + pathUsed, text, cbText);
        std::memcpy(buffers.nameBuf + nameUsed, text, cbText);
        WriteLe32(record + kOffTargetPath + 4 * n, buffers.pathAddress + uint32_t(pathUsed));
        WriteLe32(record + kOffTargetName + 4 * n, buffers.nameAddress + uint32_t(nameUsed));
        record[kOffTargetWritable + n] = 1;

        const Access access = ApplyRules(targetConfig, device[0] & 0x07, ReadLe32(device + 1), options.bDiskShift,
                                         int(n), trace, traceContext);
        if (access == Access::Hidden)
            continue; // the text's space is reused by the next drive
        record[kOffTargetWritable + n] = access == Access::Writable ? 1 : 0;
        pathUsed += cbText;
        nameUsed += cbText;
        Trace(trace, traceContext, __LINE__, "lpFileOperation->uchTargetWritable[%d] = %d", int(n),
              record[kOffTargetWritable + n]);
        ++n;
    }

    WriteLe32(record + kOffTargetCount, n);
    Trace(trace, traceContext, __LINE__, "lpFileOperation->dwTargetCount = %d", int(n));
    return result;
}

} // namespace drive_targets
