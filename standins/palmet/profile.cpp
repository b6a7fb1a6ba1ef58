// profile.cpp - profile records read and written by schema.
//
// A profile file is an INI file with one section per record, named by the
// record number in decimal ("[1]", "[2]", ...); each schema field is a key
// of that section. Values are read through the system's profile calls,
// which drop one pair of matching surrounding quotes (' or "), so a
// password stored as 'abc' reads as abc.
//
// Reads: a missing file fails with the system's error (2 or 3), a missing
// record with ERROR_NOT_FOUND. Within an existing record a missing int key
// leaves the caller's int as it was (readers preset -1), a missing or
// non-numeric value likewise; a missing str key reads as the empty text.
// A text longer than the caller's buffer is cut to fit (never splitting a
// double-byte character). Writes create the file and the record when they
// are missing; a written int is the decimal text of the pointed-to int.
#include "suite/Palmet.h"

#include "bounded_text.h"
#include "schema.h"
#include "win/pointers.h"

#include <cstdarg>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Longest value read; longer values are cut.
constexpr DWORD kValueBuffer = 4096;

bool ReadableArgs(DWORD record, const char *path, const char *schema)
{
    return record != 0 && IsReadableText(path, MAX_PATH - 1) && path[0] != '\0' &&
           IsReadableText(schema, palmet::kMaxSchemaLength);
}

DWORD RecordStatus(const std::string &section, const char *path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ERROR_ACCESS_DENIED;
    // The key list of a missing section is empty; an existing one holds at
    // least one key, since the writers never make an empty record.
    char keys[64] = {};
    if (GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, sizeof keys, path) == 0)
        return ERROR_NOT_FOUND;
    return 0;
}

bool ParseInt(const char *text, int &value)
{
    if (!text[0])
        return false;
    char *end = nullptr;
    const long parsed = strtol(text, &end, 10);
    if (!end || *end != '\0')
        return false;
    value = static_cast<int>(parsed);
    return true;
}

} // namespace

extern "C" {

DWORD __cdecl GetProfileParameter(DWORD record, const char *path, const char *schema, ...)
{
    if (!ReadableArgs(record, path, schema))
        return ERROR_INVALID_PARAMETER;
    std::vector<palmet::SchemaField> fields;
    if (!palmet::ParseSchema(schema, fields))
        return ERROR_INVALID_PARAMETER;

    // All out pointers are checked before anything is written.
    std::vector<void *> outs;
    va_list args;
    va_start(args, schema);
    for (size_t i = 0; i < fields.size(); ++i)
        outs.push_back(va_arg(args, void *));
    va_end(args);
    for (size_t i = 0; i < fields.size(); ++i) {
        const palmet::SchemaField &f = fields[i];
        if (f.type == palmet::FieldType::Str && f.size == 0)
            return ERROR_INVALID_PARAMETER; // a read needs the buffer size
        const size_t cb = f.type == palmet::FieldType::Int ? sizeof(int) : f.size;
        if (!IsWritableBlock(outs[i], cb))
            return ERROR_INVALID_PARAMETER;
    }

    const std::string section = std::to_string(record);
    const DWORD status = RecordStatus(section, path);
    if (status != 0)
        return status;
    std::vector<char> value(kValueBuffer);
    for (size_t i = 0; i < fields.size(); ++i) {
        const palmet::SchemaField &f = fields[i];
        const DWORD length =
            GetPrivateProfileStringA(section.c_str(), f.name.c_str(), "", value.data(), kValueBuffer, path);
        if (f.type == palmet::FieldType::Int) {
            int parsed = 0;
            if (ParseInt(value.data(), parsed))
                *static_cast<int *>(outs[i]) = parsed;
        } else {
            palmet::CopyTextCut(static_cast<char *>(outs[i]), f.size, value.data(), length);
        }
    }
    return 0;
}

DWORD __cdecl SetProfileParameter(DWORD record, const char *path, const char *schema, ...)
{
    if (!ReadableArgs(record, path, schema))
        return ERROR_INVALID_PARAMETER;
    std::vector<palmet::SchemaField> fields;
    if (!palmet::ParseSchema(schema, fields))
        return ERROR_INVALID_PARAMETER;

    std::vector<std::string> values;
    va_list args;
    va_start(args, schema);
    for (const palmet::SchemaField &f : fields) {
        if (f.type == palmet::FieldType::Int) {
            const int *p = va_arg(args, const int *);
            if (!IsReadableBlock(p, sizeof *p))
                break;
            values.push_back(std::to_string(*p));
        } else {
            const char *p = va_arg(args, const char *);
            // "str,<size>,<name>" bounds the text by its size; "str,<name>" by
            // the usual 260 characters.
            const size_t limit = f.size ? f.size - 1 : kMaxTextProbe;
            if (!IsReadableText(p, limit))
                break;
            values.push_back(p);
        }
    }
    va_end(args);
    if (values.size() != fields.size())
        return ERROR_INVALID_PARAMETER;

    const std::string section = std::to_string(record);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (!WritePrivateProfileStringA(section.c_str(), fields[i].name.c_str(), values[i].c_str(), path))
            return GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
    }
    return 0;
}

} // extern "C"
