// info.cpp - "info": what the loaded library looks like from the outside.
#include "commands.h"

#include "Sefrabox.h"
#include "machine/shared_block.h"
#include "pe_image.h"

#include <cstdio>
#include <cstring>

namespace {

void PrintModuleFlag(const SefraboxLibrary &library)
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    char system[96] = "version query refused";
    if (GetVersionExA(&version))
        std::snprintf(system, sizeof system, "system reports %lu.%lu build %lu, platform %lu", version.dwMajorVersion,
                      version.dwMinorVersion, version.dwBuildNumber, version.dwPlatformId);
    const int flag = library.XpFamilyFlag();
    if (flag < 0)
        std::printf("g_bXpFamily: unknown, the DLL carries no symbol table (%s)\n", system);
    else
        std::printf("g_bXpFamily: %d (%s)\n", flag, system);
}

// The functions of the public header, by ordinal.
const char *PublicName(WORD ordinal)
{
    switch (ordinal) {
    case SEFRABOX_ORD_SHOWDLG:
        return "SB_ShowDlg";
    case SEFRABOX_ORD_SHOWDLGNOINIT:
        return "SB_ShowDlgNoInit";
    case SEFRABOX_ORD_GETDRIVETARGETS:
        return "GetDriveTargets";
    case SEFRABOX_ORD_MYSENDTO:
        return "MySendTo";
    case SEFRABOX_ORD_SETSHAREDTEXT:
        return "SetSharedText";
    case SEFRABOX_ORD_GETSHAREDTEXT:
        return "GetSharedText";
    case SEFRABOX_ORD_SHOWDLGWITHPARENT:
        return "SB_ShowDlgWithParent";
    case SEFRABOX_ORD_DELETESEFRA:
        return "DeleteSefra";
    default:
        return "not in Sefrabox.h";
    }
}

void PrintExports(const SefraboxLibrary &library)
{
    ExportTable table;
    if (!ReadExportTable(library.Module(), table)) {
        std::printf("export table: none\n");
        return;
    }
    std::printf("export table: base %lu, %lu slots, %u lead to code\n", table.base, table.slotCount,
                static_cast<unsigned>(table.slots.size()));
    for (const ExportSlot &slot : table.slots)
        std::printf("  %3u  %-14s %s\n", slot.ordinal, slot.name.empty() ? "(by ordinal)" : slot.name.c_str(),
                    PublicName(slot.ordinal));
}

// A text field of the block, cut at its size whatever another process left.
void PrintText(const char *label, const char *field, size_t size)
{
    const size_t length = strnlen(field, size);
    if (length == 0)
        std::printf("  %-14s (empty)\n", label);
    else
        std::printf("  %-14s \"%.*s\"\n", label, static_cast<int>(length), field);
}

void PrintSharedBlock(const SefraboxLibrary &library)
{
    const SharedBlock *block = library.Shared();
    if (!block) {
        std::printf("shared block: no \"Sefrabox\" section\n");
        return;
    }
    std::printf("shared block: %u bytes at %p\n", static_cast<unsigned>(sizeof *block),
                static_cast<const void *>(block));
    PrintText("volume:", block->szVolumeName, sizeof block->szVolumeName);
    PrintText("mount device:", block->szMountDeviceName, sizeof block->szMountDeviceName);
    PrintText("drive:", block->szDriveLetter, sizeof block->szDriveLetter);
    std::printf("  %-14s %s\n", "lock:", block->MountVolumeLock == 0 ? "free" : "held");
    std::printf("  %-14s 0x%08lX\n", "mount handle:", block->dwMountHandle);
    std::printf("  %-14s 0x%08lX\n", "dialog:", block->pSefraboxDlg);

    using GetSharedTextFn = int(__cdecl *)(char *);
    auto getSharedText = library.RequireEntryAs<GetSharedTextFn>(SEFRABOX_ORD_GETSHAREDTEXT, "GetSharedText");
    char text[128] = {};
    if (getSharedText && getSharedText(text))
        PrintText("shared text:", text, sizeof text);
    else
        std::printf("  %-14s (not readable)\n", "shared text:");
}

} // namespace

int RunInfo(SefraboxLibrary &library, int argc, char **)
{
    if (argc != 0) {
        std::fprintf(stderr, "sefrabox-host: info takes no arguments\n");
        return kHostUsage;
    }
    std::printf("Sefrabox.dll: %s, loaded at %p\n", library.Path(), static_cast<void *>(library.Module()));
    PrintModuleFlag(library);
    PrintExports(library);
    PrintSharedBlock(library);
    return kHostOk;
}
