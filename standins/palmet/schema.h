// schema.h - parser of the profile calls' schema strings.
//
// A schema is a list of descriptors separated by ';' (a trailing ';' is
// allowed): "int,<name>", "str,<size>,<name>" or "str,<name>". This file
// has no Windows dependency so that it can be built and exercised alone.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace palmet {

enum class FieldType { Int, Str };

struct SchemaField {
    FieldType type = FieldType::Int;
    size_t size = 0; // bytes of the caller's buffer for "str,<size>,<name>"; 0 when not given
    std::string name;
};

// Limits of what a schema may ask for. A profile key name longer than
// kMaxFieldName or a buffer size above kMaxFieldSize is refused.
constexpr size_t kMaxSchemaFields = 32;
constexpr size_t kMaxFieldName = 64;
constexpr size_t kMaxFieldSize = 4096;
constexpr size_t kMaxSchemaLength = 1024;

// Parses schema into fields. Returns false (fields left empty) when the
// schema is malformed: an empty descriptor other than one trailing ';', an
// unknown type word, a size that is not a decimal number from 1 to
// kMaxFieldSize, an empty name or one with characters an INI key cannot
// carry ('=', '[', ']', ';', ',', control characters, surrounding blanks),
// or more than kMaxSchemaFields descriptors.
bool ParseSchema(const char *schema, std::vector<SchemaField> &fields);

} // namespace palmet
