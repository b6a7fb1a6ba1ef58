// mapping.cpp - the busy marker's guard and mapping text.
//
// The guard is the named mutex "SefraStandinMappingGuard", so it excludes
// across processes; it is owned by the acquiring thread, and a holder that
// dies leaves it abandoned, which the next caller takes as granted. The
// mapping carries one NUL-terminated text in its first 260 bytes.
#include "suite/Palmet.h"

#include "bounded_text.h"
#include "win/handles.h"
#include "win/pointers.h"

#include <cstring>

namespace {

constexpr char kGuardName[] = "SefraStandinMappingGuard";
constexpr DWORD kGuardWaitMs = 3000;
constexpr size_t kMappingText = 260;
constexpr size_t kReaderBuffer = 270;

// One mutex handle per process, created on first use and kept for the
// process's life.
HANDLE GuardMutex()
{
    static CKernelHandle s_guard(CreateMutexA(nullptr, FALSE, kGuardName));
    return s_guard.Get();
}

// Bytes of the view that belong to the mapping, at most kMappingText.
size_t ViewBytes(const void *view)
{
    MEMORY_BASIC_INFORMATION mbi{};
    if (VirtualQuery(view, &mbi, sizeof mbi) == 0)
        return 0;
    const size_t offset = static_cast<const BYTE *>(view) - static_cast<const BYTE *>(mbi.BaseAddress);
    const size_t region = mbi.RegionSize - offset;
    return region < kMappingText ? region : kMappingText;
}

} // namespace

extern "C" {

BOOL __cdecl AcquireMappingGuard(void)
{
    const HANDLE mutex = GuardMutex();
    if (!mutex)
        return FALSE;
    const DWORD wait = WaitForSingleObject(mutex, kGuardWaitMs);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

void __cdecl ReleaseMappingGuard(void)
{
    const HANDLE mutex = GuardMutex();
    if (mutex)
        ReleaseMutex(mutex);
}

// A null or unreadable text stores the empty text; a text of 260 bytes or
// more is cut to 259 and terminated.
void __cdecl WriteMappingText(HANDLE mapping, const char *text)
{
    if (!mapping || mapping == INVALID_HANDLE_VALUE)
        return;
    CMappedView view(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!view)
        return;
    const size_t room = ViewBytes(view.Get());
    if (room == 0)
        return;
    char *out = static_cast<char *>(view.Get());
    size_t length = 0;
    if (IsReadableText(text, kMappingText - 1))
        length = strlen(text);
    else if (IsReadableBlock(text, kMappingText - 1))
        length = kMappingText - 1; // longer text: only what fits is looked at
    palmet::CopyTextCut(out, room, length ? text : "", length);
}

BOOL __cdecl ReadMappingText(HANDLE mapping, char *buffer270)
{
    if (!IsWritableBlock(buffer270, kReaderBuffer))
        return FALSE;
    buffer270[0] = '\0';
    if (!mapping || mapping == INVALID_HANDLE_VALUE)
        return FALSE;
    CMappedView view(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    if (!view)
        return FALSE;
    const size_t room = ViewBytes(view.Get());
    const char *in = static_cast<const char *>(view.Get());
    palmet::CopyTextCut(buffer270, kReaderBuffer, in, strnlen(in, room));
    return TRUE;
}

} // extern "C"
