// paths.cpp - LastNameStart, EndsWithSeparator, WithSeparator and JoinPath
// with the ANSI code page's lead bytes.
#include "win/paths.h"

#include <windows.h>

size_t LastNameStart(const std::string &path)
{
    size_t start = 0;
    for (size_t i = 0; i < path.size();) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsDBCSLeadByte(c) && i + 1 < path.size()) {
            i += 2;
            continue;
        }
        ++i;
        if (c == '\\' || c == '/')
            start = i;
    }
    return start;
}

bool EndsWithSeparator(const std::string &path) { return !path.empty() && LastNameStart(path) == path.size(); }

std::string WithSeparator(const std::string &path) { return EndsWithSeparator(path) ? path : path + '\\'; }

std::string JoinPath(const std::string &folder, const std::string &name) { return WithSeparator(folder) + name; }
