// profile_names.h - the profile file of the store volume and the schemas
// of its records.
#pragma once

#include <cstddef>

constexpr const char kProfileFileName[] = "Sefrabox.ini";

// Records 1 to 3 belong to the three platform rows of the dialog.
constexpr unsigned long kDialogRecordCount = 3;

// Buffer sizes of the record's text fields, as the schemas state them.
constexpr size_t kTargetSize = 20;
constexpr size_t kPasswordSize = 20;

constexpr const char kSchemaRecord[] = "int,id;str,20,Target;str,20,Password;";
constexpr const char kSchemaIdTarget[] = "int,id;str,20,Target";
constexpr const char kSchemaPasswordRead[] = "str,20,Password";
constexpr const char kSchemaPasswordWrite[] = "str,Password";
