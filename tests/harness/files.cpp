// files.cpp - scratch folders and whole files (see files.h).
#include "files.h"

#include "win/handles.h"

#include <windows.h>

CScratchFolder::CScratchFolder()
{
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    const std::string base(temp, length < sizeof temp ? length : 0);
    // Unique also against folders that an earlier run with the same process
    // id left behind.
    static LONG s_serial = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate = base + "sefrabox_" + std::to_string(GetCurrentProcessId()) + "_" +
                                      std::to_string(InterlockedIncrement(&s_serial));
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

CScratchFolder::~CScratchFolder()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool MakeFolder(const std::string &folder)
{
    return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA entry;
    CFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (find) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            const DWORD attributes = entry.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                if (!DeleteFileA(path.c_str()))
                    RemoveDirectoryA(path.c_str());
            } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                if (attributes & FILE_ATTRIBUTE_READONLY)
                    SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find.Get(), &entry));
    }
    find.Reset();
    RemoveDirectoryA(folder.c_str());
}

bool FileExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WriteText(const std::string &path, const std::string &text)
{
    CFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string ReadText(const std::string &path)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text;
    if (!file)
        return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}
