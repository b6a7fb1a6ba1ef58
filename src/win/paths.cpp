// paths.cpp - EndsWithSeparator, WithSeparator and JoinPath with the ANSI
// code page's lead bytes.
#include "win/paths.h"

#include <windows.h>

bool EndsWithSeparator(const std::string &path)
{
    bool separator = false;
    for (size_t i = 0; i < path.size();) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsDBCSLeadByte(c) && i + 1 < path.size()) {
            separator = false;
            i += 2;
            continue;
        }
        separator = c == '\\' || c == '/';
        ++i;
    }
    return separator;
}

std::string WithSeparator(const std::string &path) { return EndsWithSeparator(path) ? path : path + '\\'; }

std::string JoinPath(const std::string &folder, const std::string &name) { return WithSeparator(folder) + name; }
