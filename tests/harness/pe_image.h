// pe_image.h - reading a loaded module's own PE structures: its export
// table, a section by name and a symbol of its COFF symbol table.
//
// Used by the host program and the tests to look at Sefrabox.dll from the
// outside, without the DLL exporting anything for the purpose.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ExportSlot {
    WORD ordinal;
    DWORD rva;        // 0: an empty slot
    std::string name; // empty: reached by ordinal only
};

struct ExportTable {
    DWORD base = 0;
    DWORD slotCount = 0;           // entries of the address table
    std::vector<ExportSlot> slots; // the slots that lead to code, by ordinal
};

// False when the module has no export directory.
bool ReadExportTable(HMODULE module, ExportTable &table);

// Address and size of the section whose 8-byte name is exactly name, in the
// module's mapped image; nullptr when there is none.
void *FindSection(HMODULE module, const char *name, DWORD *size = nullptr);

// Address in the loaded module of a data or code symbol named symbol (the
// linker's name, e.g. "_g_bXpFamily" for a 32-bit C name), taken from the
// COFF symbol table of the module's file on disk. nullptr when the file
// carries no symbol table (a stripped build) or not that symbol.
void *FindImageSymbol(HMODULE module, const char *symbol);
