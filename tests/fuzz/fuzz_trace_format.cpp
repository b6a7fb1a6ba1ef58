// Fuzzes the trace line composition: a message, a format and a line number
// taken from the input; the line break and suffix rules must hold for any
// bytes.
#include "diagnostics/trace_format.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int line = static_cast<int8_t>(data[0]);
    const size_t split = data[1] % (size - 1);
    const std::string message(reinterpret_cast<const char *>(data + 2), split);
    const std::string fmt(reinterpret_cast<const char *>(data + 2 + split), size - 2 - split);
    const std::string out = ComposeTraceLine(message, fmt.c_str(), line);

    // The suffix never follows the line break; an empty format adds none.
    const size_t fmtLen = fmt.find('\0') == std::string::npos ? fmt.size() : fmt.find('\0');
    if (fmtLen == 0 && line == kTraceNoLine && out != message)
        std::abort();
    if (fmtLen > 0 && out.empty())
        std::abort();
    return 0;
}
