// Fuzzes the Send To command line and file list with code page 936's lead
// bytes: the parse stays inside its buffers (the sanitizer sees every byte
// past them), asks for a second buffer exactly when the first is short and
// then succeeds with it, the converted list always ends with two NULs inside
// its buffer, and the display name stays inside its 32 bytes.
#include "product_texts.h"
#include "sendto/sendto_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

bool IsTrimmed(const char *s, const char *set)
{
    const size_t n = std::strlen(s);
    // Only the first byte is sure to start a character; a last byte in the
    // set may be the trail byte of a double-byte character.
    return n == 0 || std::strchr(set, s[0]) == nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string line(reinterpret_cast<const char *>(data), size);
    const char *cmd = line.c_str();

    // Exact-size buffers on the heap, so the sanitizer catches any overrun.
    auto name = std::make_unique<char[]>(kSefraNameBytes);
    uint32_t capacity = kFirstSrcPathBytes;
    auto list = std::make_unique<char[]>(capacity);
    uint32_t result = ParseSendToLine(cmd, name.get(), list.get(), &capacity, IsLeadByte936);
    if (result == kSendToBufferOverflow) {
        if (capacity <= kFirstSrcPathBytes)
            std::abort();
        list = std::make_unique<char[]>(capacity);
        std::memset(list.get(), 0, capacity);
        result = ParseSendToLine(cmd, name.get(), list.get(), &capacity, IsLeadByte936);
        if (result == kSendToBufferOverflow)
            std::abort();
    }
    if (result != kSendToOk && result != kSendToBadArgument)
        std::abort();
    if (result == kSendToOk) {
        if (strnlen(name.get(), kSefraNameBytes) >= kSefraNameBytes || !IsTrimmed(name.get(), kSefraNameTrimSet))
            std::abort();
        const size_t len = strnlen(list.get(), capacity);
        if (len == 0 || len + kSrcPathSpare > capacity || !IsTrimmed(list.get(), kSrcPathTrimSet))
            std::abort();
        if (!ConvertToFileList(list.get(), capacity, IsLeadByte936))
            std::abort();
        // The names and the final empty one all lie inside the buffer.
        size_t at = 0;
        for (;;) {
            const size_t n = strnlen(list.get() + at, capacity - at);
            if (at + n >= capacity)
                std::abort();
            at += n + 1;
            if (n == 0)
                break;
            if (at >= capacity)
                std::abort();
        }
    }

    // The pieces on their own, over the raw input.
    auto text = std::make_unique<char[]>(size + 2);
    std::memcpy(text.get(), line.c_str(), size + 1);
    // Without room for the second NUL the conversion is refused.
    if (std::strlen(line.c_str()) == size && ConvertToFileList(text.get(), size + 1, IsLeadByte936))
        std::abort();
    std::memcpy(text.get(), line.c_str(), size + 1);
    const size_t before = std::strlen(text.get());
    char *cut = FindAndCutKeyword(text.get(), kSendToKeyword, IsLeadByte936);
    if (cut && std::strlen(text.get()) + std::strlen(kSendToKeyword) > before)
        std::abort();
    TrimChars(text.get(), text.get(), kSefraNameTrimSet, IsLeadByte936);
    if (std::strlen(text.get()) > before)
        std::abort();

    // The display name stays in its 32 bytes with whole characters only.
    char display[32];
    const size_t shown = MakeSefraDisplayName(line.c_str(), kProductName, display, sizeof display, IsLeadByte936);
    if (shown >= sizeof display || std::strlen(display) != shown)
        std::abort();
    if (std::strncmp(display, line.c_str(), shown) != 0 && std::strstr(display, kProductName) == nullptr)
        std::abort();
    return 0;
}
