// library.cpp - loading Sefrabox.dll and finding its entries and data.
#include "library.h"

#include "machine/shared_block.h"
#include "pe_image.h"

#include <cstdio>
#include <cstring>

bool SefraboxLibrary::Load()
{
    // Beside the host program, not wherever the search path leads.
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    char *slash = length > 0 && length < sizeof path ? std::strrchr(path, '\\') : nullptr;
    if (!slash) {
        std::fprintf(stderr, "sefrabox-host: cannot find its own folder (error %lu)\n", GetLastError());
        return false;
    }
    *(slash + 1) = '\0';
    if (std::snprintf(m_path, sizeof m_path, "%sSefrabox.dll", path) >= static_cast<int>(sizeof m_path)) {
        std::fprintf(stderr, "sefrabox-host: folder path too long\n");
        return false;
    }
    m_module.Reset(LoadLibraryA(m_path));
    if (!m_module) {
        std::fprintf(stderr, "sefrabox-host: cannot load %s (error %lu)\n", m_path, GetLastError());
        return false;
    }
    return true;
}

FARPROC SefraboxLibrary::Entry(WORD ordinal) const { return GetProcAddress(m_module.Get(), MAKEINTRESOURCEA(ordinal)); }

FARPROC SefraboxLibrary::RequireEntry(WORD ordinal, const char *name) const
{
    FARPROC entry = Entry(ordinal);
    if (!entry)
        std::fprintf(stderr, "sefrabox-host: Sefrabox.dll has no ordinal %u (%s)\n", ordinal, name);
    return entry;
}

const SharedBlock *SefraboxLibrary::Shared() const
{
    DWORD size = 0;
    void *section = FindSection(m_module.Get(), "Sefrabox", &size);
    return section && size >= sizeof(SharedBlock) ? static_cast<const SharedBlock *>(section) : nullptr;
}

int SefraboxLibrary::XpFamilyFlag() const
{
    const void *flag = FindImageSymbol(m_module.Get(), "_g_bXpFamily");
    return flag ? *static_cast<const int *>(flag) : -1;
}
