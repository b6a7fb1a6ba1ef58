// sendto_text.cpp - the Send To command line and file list (see
// sendto_text.h).
#include "sendto/sendto_text.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

// Bytes of the character at p: 2 for a lead byte with its trail byte, 1 for
// any other character, 0 at the terminator.
size_t CharBytes(const char *p, LeadByteTest isLead)
{
    if (*p == '\0')
        return 0;
    return isLead(static_cast<unsigned char>(*p)) && p[1] != '\0' ? 2 : 1;
}

// The first single-byte character c at a character boundary of p, or null.
char *FindChar(char *p, char c, LeadByteTest isLead)
{
    for (size_t n; (n = CharBytes(p, isLead)) != 0; p += n)
        if (n == 1 && *p == c)
            return p;
    return nullptr;
}

bool InSet(const char *p, size_t n, const char *set) { return n == 1 && *p != '\0' && std::strchr(set, *p) != nullptr; }

// The part of [begin, end) without the set's characters at either end; the
// range must end at a character boundary.
void TrimRange(const char *&begin, const char *&end, const char *set, LeadByteTest isLead)
{
    while (begin < end && InSet(begin, CharBytes(begin, isLead), set))
        ++begin;
    const char *last = begin;
    for (const char *p = begin; p < end;) {
        const size_t n = CharBytes(p, isLead);
        p += n;
        if (!InSet(p - n, n, set))
            last = p;
    }
    end = last;
}

} // namespace

char *FindAndCutKeyword(char *text, const char *keyword, LeadByteTest isLead)
{
    if (!text || !keyword || keyword[0] == '\0')
        return nullptr;
    const size_t len = std::strlen(keyword);
    for (char *p = text; *p != '\0'; p += CharBytes(p, isLead)) {
        if (MbsNbICompare(p, keyword, len, isLead) != 0)
            continue;
        // The keyword ends the text: there is no following character to cut.
        char *rest = p + len;
        rest += CharBytes(rest, isLead);
        std::memmove(p, rest, std::strlen(rest) + 1);
        return p;
    }
    return nullptr;
}

void TrimChars(const char *src, char *dst, const char *set, LeadByteTest isLead)
{
    if (!src || !dst)
        return;
    const char *begin = src;
    const char *end = src + std::strlen(src);
    TrimRange(begin, end, set ? set : "", isLead);
    const size_t n = static_cast<size_t>(end - begin);
    std::memmove(dst, begin, n);
    dst[n] = '\0';
}

char *ConvertToFileList(char *text, size_t capacity, LeadByteTest isLead)
{
    if (!text)
        return nullptr;
    const size_t oldLen = strnlen(text, capacity);
    if (oldLen + 2 > capacity)
        return nullptr;
    size_t r = 0, w = 0;
    bool inQuotes = false;
    while (text[r] != '\0') {
        if (text[r] == '"') {
            inQuotes = !inQuotes;
            if (text[++r] == '\0')
                break;
        }
        const size_t n = CharBytes(text + r, isLead);
        if (n == 1 && text[r] == ' ' && !inQuotes) {
            // One separator for a run of blanks, none before the first name.
            if (w > 0 && text[w - 1] != '\0')
                text[w++] = '\0';
            ++r;
            continue;
        }
        // w never passes r: the output is never longer than what was read.
        std::memmove(text + w, text + r, n);
        w += n;
        r += n;
    }
    std::memset(text + w, 0, oldLen + 2 - w);
    return text;
}

size_t MakeSefraDisplayName(const char *platformName, const char *title, char *out, size_t outBytes,
                            LeadByteTest isLead)
{
    if (!out || outBytes == 0)
        return 0;
    const char *name = platformName ? platformName : "";
    const size_t titleLen = title ? std::strlen(title) : 0;
    const bool addTitle = titleLen > 0 && !MbsContains(name, title, isLead) && titleLen < outBytes;
    const size_t room = outBytes - 1 - (addTitle ? titleLen : 0);
    // The longest run of whole characters within room.
    size_t n = 0;
    for (size_t step; (step = CharBytes(name + n, isLead)) != 0 && n + step <= room;)
        n += step;
    std::memcpy(out, name, n);
    if (addTitle)
        std::memcpy(out + n, title, titleLen);
    const size_t len = n + (addTitle ? titleLen : 0);
    out[len] = '\0';
    return len;
}

uint32_t ParseSendToLine(const char *cmdLine, char *lpSefraName, char *lpSrcPath, uint32_t *pdwLen, LeadByteTest isLead)
{
    if (!cmdLine || !lpSefraName || !lpSrcPath || !pdwLen)
        return kSendToBadArgument;
    const size_t lineLen = std::strlen(cmdLine);
    std::unique_ptr<char[]> copy(new (std::nothrow) char[lineLen + 1]);
    if (!copy)
        return kSendToNoMemory;
    std::memcpy(copy.get(), cmdLine, lineLen + 1);

    char *comma = FindChar(copy.get(), ',', isLead);
    if (!comma || comma[1] == '\0')
        return kSendToBadArgument;
    char *p = comma + 1;
    if (!FindAndCutKeyword(p, kSendToKeyword, isLead))
        return kSendToBadArgument;

    comma = FindChar(p, ',', isLead);
    if (!comma || comma[1] == '\0')
        return kSendToBadArgument;
    const char *nameBegin = p;
    const char *nameEnd = comma;
    TrimRange(nameBegin, nameEnd, kSefraNameTrimSet, isLead);
    const size_t nameLen = static_cast<size_t>(nameEnd - nameBegin);
    if (nameLen >= kSefraNameBytes)
        return kSendToBadArgument;
    std::memcpy(lpSefraName, nameBegin, nameLen);
    lpSefraName[nameLen] = '\0';

    char *q = comma + 1;
    const char *listEnd = FindChar(q, ',', isLead);
    const size_t rawLen = listEnd ? static_cast<size_t>(listEnd - q) : std::strlen(q);
    if (*pdwLen < rawLen + kSrcPathSpare) {
        *pdwLen = static_cast<uint32_t>(rawLen + kSrcPathAsk);
        return kSendToBufferOverflow;
    }
    std::memcpy(lpSrcPath, q, rawLen);
    lpSrcPath[rawLen] = '\0';
    TrimChars(lpSrcPath, lpSrcPath, kSrcPathTrimSet, isLead);
    return lpSrcPath[0] != '\0' ? kSendToOk : kSendToBadArgument;
}
