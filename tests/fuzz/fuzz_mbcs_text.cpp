// Fuzzes the double-byte aware comparisons and the folder-name guard with
// code page 936's lead bytes: no read past a terminator, comparisons
// symmetric, and an accepted folder name never holds a single-byte
// separator, wildcard or control character, a lead byte without a trail
// byte, or a final dot or blank.
#include "store/mbcs_text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t split = data[0] % size;
    const std::string a(reinterpret_cast<const char *>(data + 1), split > 0 ? split - 1 : 0);
    const std::string b(reinterpret_cast<const char *>(data + split), size - split);
    const int ab = MbsICompare(a.c_str(), b.c_str(), IsLeadByte936);
    const int ba = MbsICompare(b.c_str(), a.c_str(), IsLeadByte936);
    if ((ab < 0) != (ba > 0) || (ab == 0) != (ba == 0))
        std::abort();
    if (MbsICompare(a.c_str(), a.c_str(), IsLeadByte936) != 0)
        std::abort();
    MbsNbICompare(a.c_str(), b.c_str(), data[0] % 12, IsLeadByte936);
    MbsContains(a.c_str(), b.c_str(), IsLeadByte936);
    MbsStartsWith(a.c_str(), b.c_str(), std::strlen(b.c_str()), IsLeadByte936);

    if (IsPlainFolderName(a.c_str(), IsLeadByte936)) {
        const char *s = a.c_str();
        unsigned char last = 0;
        for (size_t i = 0; s[i];) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            if (IsLeadByte936(c)) {
                if (static_cast<unsigned char>(s[i + 1]) < 0x40)
                    std::abort();
                last = 0;
                i += 2;
                continue;
            }
            if (c < 0x20 || std::strchr("\\/:*?\"<>|", c))
                std::abort();
            last = c;
            ++i;
        }
        if (last == '.' || last == ' ')
            std::abort();
    }
    return 0;
}
