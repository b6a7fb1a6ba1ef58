// reliab_hostile_child.cpp - one call of one export with one hostile
// argument, in a process of its own so that a fault ends only this process.
// Exits with the export's result (a fault exits with its exception code).
//
//   reliab_hostile_child <ordinal> <argument> <kind>
//       argument: which argument is hostile (name, parent, text, record,
//       path, name-buffer, platform, buffer); the others are usable.
//       kind: null, freed (a released page), guard (a guard page),
//       unwritable (a read-only page holding a text), unterminated (a page
//       of text without terminator before an inaccessible page), overlong
//       (a terminated text of 4000 characters), short (16 usable bytes
//       before an inaccessible page).
//   reliab_hostile_child 22 , <command line tail>
//       MySendTo with this process's own command line.
#include "Sefrabox.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kPage = 4096;

// Two pages: the first readable and writable, the second inaccessible.
BYTE *PageBeforeHole()
{
    auto *p = static_cast<BYTE *>(VirtualAlloc(nullptr, 2 * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    if (p)
        VirtualProtect(p + kPage, kPage, PAGE_NOACCESS, &old);
    return p;
}

char *Hostile(const std::string &kind)
{
    if (kind == "null")
        return nullptr;
    if (kind == "freed") {
        void *p = VirtualAlloc(nullptr, kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        VirtualFree(p, 0, MEM_RELEASE);
        return static_cast<char *>(p);
    }
    if (kind == "guard")
        return static_cast<char *>(VirtualAlloc(nullptr, kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD));
    BYTE *page = PageBeforeHole();
    if (!page)
        return nullptr;
    if (kind == "unwritable") {
        std::strcpy(reinterpret_cast<char *>(page), "C:\\no\\such\\store.vpf");
        DWORD old = 0;
        VirtualProtect(page, kPage, PAGE_READONLY, &old);
        return reinterpret_cast<char *>(page);
    }
    if (kind == "unterminated") {
        std::memset(page, 'A', kPage);
        return reinterpret_cast<char *>(page);
    }
    if (kind == "overlong") {
        std::memset(page, 'A', 4000);
        page[4000] = '\0';
        return reinterpret_cast<char *>(page);
    }
    if (kind == "short")
        return reinterpret_cast<char *>(page + kPage - 16);
    return reinterpret_cast<char *>(1); // unknown kind: a plainly bad pointer
}

int DriveTargets(const std::string &argument, char *hostile)
{
    static FILE_OPERATION record;
    static char paths[512], names[512];
    return GetDriveTargets(argument == "platform" ? hostile : nullptr,
                           argument == "record" ? reinterpret_cast<FILE_OPERATION *>(hostile) : &record,
                           argument == "path" ? hostile : paths, sizeof paths,
                           argument == "name-buffer" ? hostile : names, sizeof names, 0, 7, 1);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "22") == 0)
        return MySendTo();
    if (argc != 4)
        return 1000;
    const int ordinal = std::atoi(argv[1]);
    const std::string argument = argv[2];
    char *hostile = Hostile(argv[3]);
    switch (ordinal) {
    case 10:
        return SB_ShowDlg(hostile, nullptr, nullptr, nullptr);
    case 25:
        return SB_ShowDlgWithParent(reinterpret_cast<CWnd *>(hostile), nullptr);
    case 11:
        return SB_ShowDlgNoInit(hostile);
    case 21:
        return DriveTargets(argument, hostile);
    case 23:
        return SetSharedText(hostile);
    case 24:
        return GetSharedText(hostile);
    case 33:
        return DeleteSefra(hostile, 1);
    default:
        return 1001;
    }
}
