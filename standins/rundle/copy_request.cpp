// copy_request.cpp - ReadCopyRequest and RootOf, with probes of caller memory.
#include "copy_request.h"

#include "win/pointers.h"

#include <utility>

namespace rundle {

namespace {

// Copies a terminated text of at most kMaxText characters.
bool ReadText(const char *p, std::string &out)
{
    if (!IsReadableText(p, kMaxText))
        return false;
    out = p;
    return true;
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
