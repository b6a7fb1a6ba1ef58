// schema.cpp - parser of the profile calls' schema strings.
#include "schema.h"

#include <cstring>

namespace palmet {

namespace {

std::vector<std::string> Split(const std::string &text, char sep)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t pos = text.find(sep, start);
        if (pos == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

bool ValidName(const std::string &name)
{
    if (name.empty() || name.size() > kMaxFieldName)
        return false;
    if (name.front() == ' ' || name.back() == ' ')
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F || c == '=' || c == '[' || c == ']' || c == ';' || c == ',')
            return false;
    }
    return true;
}

bool ParseSize(const std::string &text, size_t &size)
{
    if (text.empty() || text.size() > 5)
        return false;
    size_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<size_t>(c - '0');
    }
    if (value == 0 || value > kMaxFieldSize)
        return false;
    size = value;
    return true;
}

bool ParseDescriptor(const std::string &text, SchemaField &field)
{
    const std::vector<std::string> parts = Split(text, ',');
    if (parts[0] == "int") {
        if (parts.size() != 2)
            return false;
        field.type = FieldType::Int;
        field.name = parts[1];
    } else if (parts[0] == "str") {
        field.type = FieldType::Str;
        if (parts.size() == 2) {
            field.name = parts[1];
        } else if (parts.size() == 3) {
            if (!ParseSize(parts[1], field.size))
                return false;
            field.name = parts[2];
        } else {
            return false;
        }
    } else {
        return false;
    }
    return ValidName(field.name);
}

} // namespace

bool ParseSchema(const char *schema, std::vector<SchemaField> &fields)
{
    fields.clear();
    if (!schema)
        return false;
    const size_t length = strnlen(schema, kMaxSchemaLength + 1);
    if (length == 0 || length > kMaxSchemaLength)
        return false;
    std::vector<std::string> descriptors = Split(std::string(schema, length), ';');
    if (descriptors.size() > 1 && descriptors.back().empty())
        descriptors.pop_back();
    if (descriptors.size() > kMaxSchemaFields)
        return false;
    std::vector<SchemaField> parsed;
    for (const std::string &d : descriptors) {
        SchemaField field;
        if (!ParseDescriptor(d, field))
            return false;
        parsed.push_back(field);
    }
    fields.swap(parsed);
    return true;
}

} // namespace palmet
