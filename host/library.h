// library.h - Sefrabox.dll as the host program sees it: loaded from the
// host's own folder, entries found by ordinal, the shared block found as
// the DLL's "Sefrabox" section.
#pragma once

#include "win/handles.h"

#include <windows.h>

struct SharedBlock;

class SefraboxLibrary {
public:
    // Prints the reason to stderr when it fails.
    bool Load();

    HMODULE Module() const { return m_module.Get(); }
    const char *Path() const { return m_path; }

    // The export of that ordinal, or nullptr.
    FARPROC Entry(WORD ordinal) const;
    // As Entry, printing the reason to stderr when it is missing.
    FARPROC RequireEntry(WORD ordinal, const char *name) const;
    // RequireEntry as the entry's own function type.
    template <typename Fn> Fn RequireEntryAs(WORD ordinal, const char *name) const
    {
        // Through void (*)(): the generic function pointer type.
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(RequireEntry(ordinal, name)));
    }

    // The machine-wide block in this process's view of the DLL, or nullptr
    // when the DLL has no such section.
    const SharedBlock *Shared() const;

    // The DLL's own g_bXpFamily, read through the symbol table of its file;
    // -1 when the file carries no symbols.
    int XpFamilyFlag() const;

private:
    CModuleHandle m_module;
    char m_path[MAX_PATH] = {};
};
