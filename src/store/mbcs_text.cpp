// mbcs_text.cpp - double-byte aware comparisons and the folder-name check.
#include "store/mbcs_text.h"

#include <cstring>

namespace {

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

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
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    for (auto p = reinterpret_cast<const unsigned char *>(name); *p;) {
        if (isLead(p[0]) && p[1] != 0) {
            p += 2;
            continue;
        }
        if (*p == '\\' || *p == '/' || *p == ':')
            return false;
        ++p;
    }
    return true;
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
