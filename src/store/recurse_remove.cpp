// recurse_remove.cpp - RecurseRemoveDirectory.
#include "store/recurse_remove.h"

#include "diagnostics/trace.h"
#include "win/handles.h"
#include "win/links.h"
#include "win/paths.h"
#include "win/pointers.h"

#include <cstring>
#include <string>

namespace {

// Empties and removes path, a folder of its own (not a link).
DWORD RemoveTree(const char *path, const char *pattern, BOOL bContinue)
{
    const std::string folder = WithSeparator(path);
    const CFolderFiles files(folder);

    DWORD result = ERROR_SUCCESS;
    WIN32_FIND_DATAA fd{};
    CFindHandle find(FindFirstFileA((folder + pattern).c_str(), &fd));
    if (find) {
        do {
            if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0)
                continue;
            const std::string entry = folder + fd.cFileName;
            const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isFolder && !IsLinkEntry(fd.dwFileAttributes)) {
                result = RemoveTree(entry.c_str(), pattern, bContinue);
                if (result != ERROR_SUCCESS && !bContinue)
                    break;
                continue;
            }
            // A link goes itself; what it leads to stays.
            result = IsLinkEntry(fd.dwFileAttributes) ? RemoveLinkItself(entry, isFolder) : files.Delete(fd.cFileName);
            if (result != ERROR_SUCCESS) {
                SB_TRACE_FAILED(result, "DeleteFile(%s)", entry.c_str());
                if (!bContinue)
                    break;
            }
        } while (FindNextFileA(find.Get(), &fd));
    }
    find.Reset();

    if (result == ERROR_SUCCESS && !RemoveDirectoryA(path))
        result = GetLastError();
    return result;
}

} // namespace

DWORD RecurseRemoveDirectory(const char *path, const char *pattern, BOOL bContinue)
{
    if (!IsReadableText(path, 32767) || path[0] == '\0')
        return ERROR_INVALID_PARAMETER;
    if (!IsReadableText(pattern))
        pattern = "*.*";
    // A folder that is itself a link is removed as a link.
    const DWORD attributes = GetFileAttributesA(path);
    if (IsLinkEntry(attributes))
        return RemoveLinkItself(path, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    return RemoveTree(path, pattern, bContinue);
}
