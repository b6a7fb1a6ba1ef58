// copy_files.cpp - ListFolder and CopyEntries.
#include "copy_files.h"

#include <shellapi.h>

#include <algorithm>

namespace rundle {

namespace {

// Closes a find handle; FindClose is not a CloseHandle.
class CFind {
public:
    explicit CFind(HANDLE h) : m_h(h) {}
    ~CFind()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            FindClose(m_h);
    }
    CFind(const CFind &) = delete;
    CFind &operator=(const CFind &) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

// A list of paths for SHFILEOPSTRUCTA: each terminated, the list by one
// more zero byte.
void AppendPath(std::string &list, const std::string &path)
{
    list += path;
    list += '\0';
}

} // namespace

std::vector<FolderEntry> ListFolder(const std::string &folder)
{
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAA data;
    CFind find(FindFirstFileA((folder + "*").c_str(), &data));
    if (find.Get() == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find.Get(), &data));
    std::sort(entries.begin(), entries.end(), [](const FolderEntry &a, const FolderEntry &b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.name.c_str(), -1, b.name.c_str(), -1) ==
               CSTR_LESS_THAN;
    });
    return entries;
}

DWORD CopyEntries(HWND owner, const std::string &fromFolder, const std::vector<std::string> &names,
                  const std::string &toFolder)
{
    if (names.empty())
        return 0;
    std::string from;
    for (const auto &name : names)
        AppendPath(from, fromFolder + name);
    from += '\0';
    std::string to;
    AppendPath(to, toFolder);
    to += '\0';

    SHFILEOPSTRUCTA op{};
    op.hwnd = owner;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_NOCONFIRMMKDIR;
    const int result = SHFileOperationA(&op);
    if (result != 0)
        return DWORD(result);
    return op.fAnyOperationsAborted ? ERROR_CANCELLED : 0;
}

} // namespace rundle
