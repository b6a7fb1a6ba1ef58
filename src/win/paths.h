// paths.h - drive letters, and a folder path and a name joined in the ANSI
// code page. Whether the folder already ends with a separator is decided by
// walking its lead and trail bytes: a double-byte character whose trail
// byte is 0x5C (the code of "\", as in code page 936's 誠, D5 5C) is no
// separator.
#pragma once

#include <string>

// A drive letter: A to Z in either case. A drive text ("X:") names a drive
// when its first byte is one.
inline bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Where the last name of path begins: just after its last separator ("\"
// or "/" as a single-byte character), 0 when it has none.
size_t LastNameStart(const std::string &path);

// The last character of path is "\" or "/" as a single-byte character.
bool EndsWithSeparator(const std::string &path);

// path, then "\" unless it already ends with a separator (an empty path
// becomes "\").
std::string WithSeparator(const std::string &path);

// folder and name with one separator between them.
std::string JoinPath(const std::string &folder, const std::string &name);
