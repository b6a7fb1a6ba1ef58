// pe_image.cpp - export table, section and symbol look-ups in a loaded
// module.
#include "pe_image.h"

#include "win/handles.h"

#include <cstring>

namespace {

const IMAGE_NT_HEADERS32 *NtHeaders(HMODULE module)
{
    const auto base = reinterpret_cast<const BYTE *>(module);
    const auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(base + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

const IMAGE_SECTION_HEADER *Sections(const IMAGE_NT_HEADERS32 *nt) { return IMAGE_FIRST_SECTION(nt); }

// Reads the whole file of the module; empty on failure.
std::vector<BYTE> ReadModuleFile(HMODULE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return {};
    CFileHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return {};
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size == INVALID_FILE_SIZE)
        return {};
    std::vector<BYTE> bytes(size);
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data(), size, &got, nullptr) || got != size)
        return {};
    return bytes;
}

} // namespace

bool ReadExportTable(HMODULE module, ExportTable &table)
{
    const IMAGE_NT_HEADERS32 *nt = NtHeaders(module);
    if (!nt)
        return false;
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0)
        return false;
    const auto base = reinterpret_cast<const BYTE *>(module);
    const auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + dir.VirtualAddress);
    const auto functions = reinterpret_cast<const DWORD *>(base + exports->AddressOfFunctions);
    const auto names = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
    const auto nameOrdinals = reinterpret_cast<const WORD *>(base + exports->AddressOfNameOrdinals);

    table.base = exports->Base;
    table.slotCount = exports->NumberOfFunctions;
    table.slots.clear();
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i) {
        if (functions[i] == 0)
            continue;
        ExportSlot slot{static_cast<WORD>(exports->Base + i), functions[i], std::string()};
        for (DWORD n = 0; n < exports->NumberOfNames; ++n) {
            if (nameOrdinals[n] == i)
                slot.name = reinterpret_cast<const char *>(base + names[n]);
        }
        table.slots.push_back(slot);
    }
    return true;
}

void *FindSection(HMODULE module, const char *name, DWORD *size)
{
    const IMAGE_NT_HEADERS32 *nt = NtHeaders(module);
    if (!nt)
        return nullptr;
    char wanted[IMAGE_SIZEOF_SHORT_NAME] = {};
    std::memcpy(wanted, name, strnlen(name, sizeof wanted));
    const IMAGE_SECTION_HEADER *section = Sections(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        if (std::memcmp(section->Name, wanted, sizeof wanted) == 0) {
            if (size)
                *size = section->Misc.VirtualSize;
            return reinterpret_cast<BYTE *>(module) + section->VirtualAddress;
        }
    }
    return nullptr;
}

void *FindImageSymbol(HMODULE module, const char *symbol)
{
    const IMAGE_NT_HEADERS32 *nt = NtHeaders(module);
    if (!nt || nt->FileHeader.PointerToSymbolTable == 0)
        return nullptr;
    const std::vector<BYTE> file = ReadModuleFile(module);
    const DWORD tableOffset = nt->FileHeader.PointerToSymbolTable;
    const DWORD count = nt->FileHeader.NumberOfSymbols;
    const size_t tableEnd = static_cast<size_t>(tableOffset) + static_cast<size_t>(count) * IMAGE_SIZEOF_SYMBOL;
    if (file.size() < tableEnd + sizeof(DWORD))
        return nullptr;
    // Long names live in the string table right after the symbols.
    const BYTE *strings = file.data() + tableEnd;
    DWORD stringsSize = 0;
    std::memcpy(&stringsSize, strings, sizeof stringsSize);
    if (tableEnd + stringsSize > file.size())
        return nullptr;

    const size_t wantedLength = std::strlen(symbol);
    for (DWORD i = 0; i < count; ++i) {
        IMAGE_SYMBOL entry;
        std::memcpy(&entry, file.data() + tableOffset + static_cast<size_t>(i) * IMAGE_SIZEOF_SYMBOL, sizeof entry);
        const char *name;
        size_t nameLength;
        if (entry.N.Name.Short != 0) {
            name = reinterpret_cast<const char *>(entry.N.ShortName);
            nameLength = strnlen(name, IMAGE_SIZEOF_SHORT_NAME);
        } else {
            if (entry.N.Name.Long >= stringsSize)
                continue;
            name = reinterpret_cast<const char *>(strings + entry.N.Name.Long);
            nameLength = strnlen(name, stringsSize - entry.N.Name.Long);
        }
        const bool match = nameLength == wantedLength && std::memcmp(name, symbol, nameLength) == 0;
        if (match && entry.SectionNumber > 0 && entry.SectionNumber <= nt->FileHeader.NumberOfSections) {
            const IMAGE_SECTION_HEADER &section = Sections(nt)[entry.SectionNumber - 1];
            return reinterpret_cast<BYTE *>(module) + section.VirtualAddress + entry.Value;
        }
        i += entry.NumberOfAuxSymbols;
    }
    return nullptr;
}
