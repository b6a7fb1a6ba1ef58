// recurse_remove.cpp - RecurseRemoveDirectory.
#include "store/recurse_remove.h"

#include "diagnostics/trace.h"
#include "win/handles.h"
#include "win/pointers.h"

#include <cstring>
#include <string>

DWORD RecurseRemoveDirectory(const char *path, const char *pattern, BOOL bContinue)
{
    if (!IsReadableText(path, 32767) || path[0] == '\0')
        return ERROR_INVALID_PARAMETER;
    if (!IsReadableText(pattern))
        pattern = "*.*";

    std::string folder(path);
    const char last = folder.back();
    if (last != '\\' && last != '/')
        folder += '\\';

    DWORD result = ERROR_SUCCESS;
    WIN32_FIND_DATAA fd{};
    CFindHandle find(FindFirstFileA((folder + pattern).c_str(), &fd));
    if (find) {
        do {
            if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0)
                continue;
            const std::string entry = folder + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                result = RecurseRemoveDirectory(entry.c_str(), pattern, bContinue);
                if (result != ERROR_SUCCESS && !bContinue)
                    break;
            } else if (!DeleteFileA(entry.c_str())) {
                result = GetLastError();
                SB_TRACE("DeleteFile(%s) failed! %s", entry.c_str(), GetErrorText(result).c_str());
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
