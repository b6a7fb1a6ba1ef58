// target_check.cpp - IsUsableTarget and IsSameFolderName with the ANSI code
// page.
#include "store/target_check.h"

#include "diagnostics/trace.h"
#include "store/ansi_lead_byte.h"
#include "store/mbcs_text.h"
#include "store/profile_names.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

// The text in UTF-16; empty when the code page has no character for some
// of its bytes.
std::wstring Wide(const char *text)
{
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (n <= 1)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide.data(), n);
    return wide.data();
}

// The system's own reading of the name as an entry of a folder: nothing it
// drops or turns into a device may remain. GetFullPathNameW touches no disk.
bool SystemKeepsName(const std::wstring &name)
{
    const std::wstring path = L"C:\\" + name;
    wchar_t full[MAX_PATH] = {};
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return n == path.size() && path == full;
}

std::wstring Upper(const std::wstring &text)
{
    std::wstring upper(text);
    LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, text.c_str(), static_cast<int>(text.size()), &upper[0],
                 static_cast<int>(upper.size()));
    return upper;
}

} // namespace

bool IsUsableTarget(const char *target)
{
    if (IsPlainFolderName(target, IsAnsiLeadByte)) {
        const std::wstring wide = Wide(target);
        if (!wide.empty() && SystemKeepsName(wide) && !IsSameFolderName(target, kProfileFileName))
            return true;
    }
    SB_TRACE("Target '%s' is not a folder name in the volume root, record ignored", target ? target : "");
    return false;
}

bool IsSameFolderName(const char *a, const char *b)
{
    const std::wstring wa = Wide(a), wb = Wide(b);
    // A text the code page cannot convert is compared by its bytes.
    if (wa.empty() || wb.empty())
        return MbsICompare(a, b, IsAnsiLeadByte) == 0;
    return wa.size() == wb.size() && Upper(wa) == Upper(wb);
}
