// mbcs_text.cpp - double-byte aware comparisons and the folder-name check.
#include "store/mbcs_text.h"

#include <cstring>
#include <string>

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

// Trail bytes of every double-byte code page lie at 0x40 and above; a lower
// byte after a lead byte is no character the system would read as one.
constexpr unsigned char kLowestTrailByte = 0x40;

// Single-byte characters no folder name may hold: separators, the drive
// colon, and the wildcards (the system's search also takes < > " as such).
constexpr char kReservedChars[] = "\\/:*?\"<>|";

// The first baseLength bytes of name, blanks at their end dropped, are a
// device name of the system's path rules.
bool IsDeviceName(const char *name, size_t baseLength)
{
    while (baseLength > 0 && name[baseLength - 1] == ' ')
        --baseLength;
    std::string base(name, baseLength);
    for (char &c : base)
        c = static_cast<char>(FoldAscii(static_cast<unsigned char>(c)));
    for (const char *device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
        if (base == device)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '0' &&
           base[3] <= '9';
}

// One character at p: its length (1 or 2) and a comparable value. A lead
// byte followed by the terminator counts as a single byte.
size_t NextChar(const unsigned char *p, LeadByteTest isLead, unsigned &value)
{
    if (isLead(p[0]) && p[1] != 0) {
        value = (static_cast<unsigned>(p[0]) << 8) | p[1];
        return 2;
    }
    value = FoldAscii(p[0]);
    return 1;
}

} // namespace

bool IsLeadByte936(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

int MbsNbICompare(const char *a, const char *b, size_t n, LeadByteTest isLead)
{
    auto pa = reinterpret_cast<const unsigned char *>(a);
    auto pb = reinterpret_cast<const unsigned char *>(b);
    size_t used = 0;
    while (used < n) {
        unsigned va = 0, vb = 0;
        size_t la = NextChar(pa, isLead, va);
        size_t lb = NextChar(pb, isLead, vb);
        if (used + la > n || used + lb > n) {
            // The limit cuts a double-byte character: compare what fits.
            va = la == 2 ? pa[0] : va;
            vb = lb == 2 ? pb[0] : vb;
            la = lb = 1;
        }
        if (va != vb)
            return va < vb ? -1 : 1;
        if (va == 0)
            return 0;
        pa += la;
        pb += lb;
        used += la > lb ? la : lb;
    }
    return 0;
}

int MbsICompare(const char *a, const char *b, LeadByteTest isLead)
{
    return MbsNbICompare(a, b, static_cast<size_t>(-1), isLead);
}

bool IsPlainFolderName(const char *name, LeadByteTest isLead)
{
    if (!name || name[0] == '\0')
        return false;
    size_t length = 0, dots = 0, firstDot = 0;
    bool tilde = false;
    unsigned char last = 0;
    for (auto p = reinterpret_cast<const unsigned char *>(name); *p;) {
        if (isLead(p[0])) {
            if (p[1] < kLowestTrailByte)
                return false;
            p += 2;
            length += 2;
            last = 0;
            continue;
        }
        if (*p < 0x20 || std::strchr(kReservedChars, *p))
            return false;
        if (*p == '.' && dots++ == 0)
            firstDot = length;
        tilde = tilde || *p == '~';
        last = *p;
        ++p;
        ++length;
    }
    if (last == '.' || last == ' ')
        return false;
    const size_t base = dots > 0 ? firstDot : length;
    if (IsDeviceName(name, base))
        return false;
    // A short name: at most 8 bytes, then at most a dot and 3 bytes.
    const bool shortForm = dots <= 1 && base <= 8 && length - base <= 4;
    return !(tilde && shortForm);
}

bool MbsContains(const char *text, const char *needle, LeadByteTest isLead)
{
    const size_t len = std::strlen(needle);
    for (auto p = reinterpret_cast<const unsigned char *>(text);;) {
        if (std::strncmp(reinterpret_cast<const char *>(p), needle, len) == 0)
            return true;
        if (*p == 0)
            return false;
        p += (isLead(p[0]) && p[1] != 0) ? 2 : 1;
    }
}

bool MbsStartsWith(const char *name, const char *prefix, size_t prefixLen, LeadByteTest isLead)
{
    if (std::strncmp(name, prefix, prefixLen) != 0)
        return false;
    // The match must end on a character boundary of name.
    size_t i = 0;
    while (i < prefixLen)
        i += (isLead(static_cast<unsigned char>(name[i])) && name[i + 1] != 0) ? 2 : 1;
    return i == prefixLen;
}
