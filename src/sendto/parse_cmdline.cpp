// parse_cmdline.cpp - ParseCmdLine over the system's ANSI code page.
#include "sendto/parse_cmdline.h"

#include "diagnostics/trace.h"
#include "sendto/sendto_text.h"
#include "store/ansi_lead_byte.h"
#include "win/pointers.h"

namespace {

// The longest command line the system passes to a process.
constexpr size_t kMaxCommandLine = 32767;

} // namespace

DWORD ParseCmdLine(const char *lpCmdLine, char *lpSefraName, char *lpSrcPath, DWORD *pdwLen)
{
    DWORD result = ERROR_INVALID_PARAMETER;
    if (IsReadableText(lpCmdLine, kMaxCommandLine) && IsWritableBlock(lpSefraName, kSefraNameBytes) &&
        IsWritableBlock(pdwLen, sizeof *pdwLen) && IsWritableBlock(lpSrcPath, *pdwLen)) {
        uint32_t capacity = *pdwLen;
        result = ParseSendToLine(lpCmdLine, lpSefraName, lpSrcPath, &capacity, IsAnsiLeadByte);
        if (result == kSendToOk || result == kSendToBufferOverflow)
            SB_TRACE("lpSefraName = %s", lpSefraName);
        if (result == kSendToOk)
            SB_TRACE("lpSrcPath = %s", lpSrcPath);
        if (result == kSendToBufferOverflow)
            *pdwLen = capacity;
    }
    SB_TRACE("dwErrCode = 0x%08X", static_cast<unsigned>(result));
    return result;
}
