// copy_request.cpp - ReadCopyRequest and RootOf, with probes of caller memory.
#include "copy_request.h"

#include <utility>

namespace rundle {

namespace {

constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// Protection of the committed page holding p; its readable end in *end.
bool ReadablePage(ULONG_PTR p, ULONG_PTR *end)
{
    MEMORY_BASIC_INFORMATION mbi{};
    if (VirtualQuery(reinterpret_cast<LPCVOID>(p), &mbi, sizeof mbi) == 0 || mbi.State != MEM_COMMIT ||
        (mbi.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0 || (mbi.Protect & kReadable) == 0)
        return false;
    *end = reinterpret_cast<ULONG_PTR>(mbi.BaseAddress) + mbi.RegionSize;
    return true;
}

bool IsReadableBlock(const void *p, size_t cb)
{
    if (!p)
        return false;
    auto cur = reinterpret_cast<ULONG_PTR>(p);
    const ULONG_PTR last = cur + cb;
    if (last < cur)
        return false;
    while (cur < last) {
        ULONG_PTR end = 0;
        if (!ReadablePage(cur, &end))
            return false;
        cur = end;
    }
    return true;
}

// Copies a terminated text of at most kMaxText characters.
bool ReadText(const char *p, std::string &out)
{
    if (!p)
        return false;
    auto cur = reinterpret_cast<ULONG_PTR>(p);
    ULONG_PTR end = 0;
    for (size_t k = 0; k <= kMaxText; ++k, ++cur) {
        if (cur >= end && !ReadablePage(cur, &end))
            return false;
        if (*reinterpret_cast<const char *>(cur) == '\0') {
            out.assign(p, k);
            return true;
        }
    }
    return false;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

} // namespace

DWORD ReadCopyRequest(char chDestDrive, unsigned char uchDestWritable, const char *lpDestName,
                      unsigned long dwTargetCount, const char *const *lpTargetPath,
                      const unsigned char *uchTargetWritable, const char *const *lpTargetName, const char *lpTitle,
                      CopyRequest &request)
{
    if (!IsDriveLetter(chDestDrive) || dwTargetCount > kMaxTargets)
        return ERROR_INVALID_PARAMETER;
    request.destDrive = chDestDrive;
    request.destWritable = uchDestWritable != 0;
    request.destName.clear();
    request.title.clear();
    if ((lpDestName && !ReadText(lpDestName, request.destName)) || (lpTitle && !ReadText(lpTitle, request.title)))
        return ERROR_INVALID_PARAMETER;

    request.targets.clear();
    if (dwTargetCount == 0)
        return 0;
    if (!IsReadableBlock(lpTargetPath, dwTargetCount * sizeof *lpTargetPath) ||
        !IsReadableBlock(uchTargetWritable, dwTargetCount) ||
        !IsReadableBlock(lpTargetName, dwTargetCount * sizeof *lpTargetName))
        return ERROR_INVALID_PARAMETER;
    for (unsigned long i = 0; i < dwTargetCount; ++i) {
        CopyTarget target{{}, {}, uchTargetWritable[i] != 0};
        if (!ReadText(lpTargetPath[i], target.path) || target.path.empty() || !ReadText(lpTargetName[i], target.name))
            return ERROR_INVALID_PARAMETER;
        request.targets.push_back(std::move(target));
    }
    return 0;
}

std::string RootOf(const std::string &text)
{
    // Multibyte-aware: a trail byte of a double-byte character may be '\'.
    bool endsInSeparator = false;
    for (size_t k = 0; k < text.size(); ++k) {
        endsInSeparator = text[k] == '\\' || text[k] == '/';
        if (IsDBCSLeadByte(static_cast<BYTE>(text[k])) && k + 1 < text.size())
            ++k;
    }
    return endsInSeparator ? text : text + '\\';
}

} // namespace rundle
