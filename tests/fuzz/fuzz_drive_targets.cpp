// Fuzzes the drive-target fill: arbitrary DRIVER_INFO and TARGET_CONFIG
// bytes, buffer sizes and options. Nothing may be written outside the
// record and the two text buffers (AddressSanitizer watches), the count
// stays within 27, and every listed pointer lies inside its buffer.
#include "volume/drive_targets_fill.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
void NoTrace(void *, int, const char *, int, int) {}

uint32_t ReadU32(const uint8_t *p)
{
    uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace drive_targets;
    if (size < 3 + kTargetConfigSize + kDriverInfoSize)
        return 0;
    const size_t cbPath = data[0] % 90, cbName = data[1] % 90;
    const TargetOptions options{(data[2] & 1) != 0, (data[2] & 2) != 0};
    std::vector<uint8_t> config(data + 3, data + 3 + kTargetConfigSize);
    std::vector<uint8_t> info(data + 3 + kTargetConfigSize, data + 3 + kTargetConfigSize + kDriverInfoSize);
    std::vector<uint8_t> configIn = config, infoIn = info;
    std::vector<uint8_t> record(kRecordSize);
    std::vector<char> path(cbPath), name(cbName);
    const uint32_t pathBase = 0x10000, nameBase = 0x20000;
    TargetBuffers buffers{record.data(), path.data(), cbPath, pathBase, name.data(), cbName, nameBase};

    ResetDriveTargets(config.data(), info.data(), buffers);
    const uint32_t result =
        FillDriveTargets(configIn.data(), infoIn.data(), infoIn.size(), buffers, options, NoTrace, nullptr);
    if (result != kResultOk && result != kResultBufferOverflow)
        std::abort();
    const uint32_t count = ReadU32(record.data() + kOffTargetCount);
    if (count > kMaxTargets)
        std::abort();
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t p = ReadU32(record.data() + kOffTargetPath + 4 * i);
        const uint32_t n = ReadU32(record.data() + kOffTargetName + 4 * i);
        if (p < pathBase || p + 3 > pathBase + cbPath || n < nameBase || n + 3 > nameBase + cbName)
            std::abort();
    }
    return 0;
}
