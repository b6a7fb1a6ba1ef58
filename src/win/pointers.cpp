// pointers.cpp - probes of caller memory through the page protections.
#include "win/pointers.h"

#include <cstring>

namespace {

// Walks the pages of [p, p + cb) and checks each one's protection, so that
// a guard page or a freed page is refused without touching it.
bool PagesAllow(const void *p, size_t cb, DWORD mask)
{
    if (!p)
        return false;
    if (cb == 0)
        return true;
    auto cur = reinterpret_cast<ULONG_PTR>(p);
    const ULONG_PTR end = cur + cb;
    if (end < cur)
        return false;
    while (cur < end) {
        MEMORY_BASIC_INFORMATION mbi{};
        if (VirtualQuery(reinterpret_cast<LPCVOID>(cur), &mbi, sizeof mbi) == 0)
            return false;
        if (mbi.State != MEM_COMMIT)
            return false;
        if ((mbi.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0 || (mbi.Protect & mask) == 0)
            return false;
        cur = reinterpret_cast<ULONG_PTR>(mbi.BaseAddress) + mbi.RegionSize;
    }
    return true;
}

constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kWritable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

} // namespace

bool IsReadableBlock(const void *p, size_t cb) { return PagesAllow(p, cb, kReadable); }

bool IsWritableBlock(void *p, size_t cb) { return PagesAllow(p, cb, kWritable); }

bool IsReadableText(const char *p, size_t maxChars)
{
    if (!p)
        return false;
    // Probe page by page up to the terminator or the limit.
    auto cur = reinterpret_cast<ULONG_PTR>(p);
    size_t left = maxChars + 1;
    while (left > 0) {
        MEMORY_BASIC_INFORMATION mbi{};
        if (VirtualQuery(reinterpret_cast<LPCVOID>(cur), &mbi, sizeof mbi) == 0 || mbi.State != MEM_COMMIT ||
            (mbi.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0 || (mbi.Protect & kReadable) == 0)
            return false;
        const ULONG_PTR regionEnd = reinterpret_cast<ULONG_PTR>(mbi.BaseAddress) + mbi.RegionSize;
        while (cur < regionEnd && left > 0) {
            if (*reinterpret_cast<const char *>(cur) == '\0')
                return true;
            ++cur;
            --left;
        }
    }
    return false;
}

bool IsReadableIdList(const void *p, size_t maxBytes)
{
    auto item = static_cast<const BYTE *>(p);
    for (size_t used = 0;;) {
        USHORT cb = 0;
        if (used + sizeof cb > maxBytes || !IsReadableBlock(item, sizeof cb))
            return false;
        memcpy(&cb, item, sizeof cb);
        if (cb == 0)
            return true;
        // An item holds at least its own size field.
        if (cb < sizeof cb || used + cb > maxBytes || !IsReadableBlock(item, cb))
            return false;
        item += cb;
        used += cb;
    }
}
