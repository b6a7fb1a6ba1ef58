// mount_fixture.cpp - helpers of the mount and link tests.
#include "mount_fixture.h"

#include "win/handles.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA data{};
    CFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find.Get(), &data));
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

CTempStore::CTempStore(BYTE dirty)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    static int serial = 0;
    char name[MAX_PATH] = {};
    snprintf(name, sizeof name, "%sstandin_store_%lu_%d", temp, GetCurrentProcessId(), ++serial);
    m_folder = name;
    CreateDirectoryA(m_folder.c_str(), nullptr);
    std::string image(64 * 1024, '\0');
    memcpy(&image[3], "SEFRAVPF", 8);
    image[0x41] = static_cast<char>(dirty);
    image[510] = '\x55';
    image[511] = '\xAA';
    WriteWholeFile(Container(), image);
}

CTempStore::~CTempStore() { RemoveTree(m_folder); }

CGuardedBuffer::CGuardedBuffer(size_t size, DWORD protect)
{
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    m_base = VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!m_base)
        return;
    DWORD old = 0;
    VirtualProtect(static_cast<char *>(m_base) + page, page, PAGE_NOACCESS, &old);
    m_data = static_cast<char *>(m_base) + page - size;
    memset(m_data, 0, size);
    VirtualProtect(m_base, page, protect, &old);
}

CGuardedBuffer::~CGuardedBuffer()
{
    if (m_base)
        VirtualFree(m_base, 0, MEM_RELEASE);
}

bool WriteWholeFile(const std::string &path, const std::string &data)
{
    CFileHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
}

bool ReadWholeFile(const std::string &path, std::string &data)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr));
    if (!file)
        return false;
    data.clear();
    char chunk[4096];
    DWORD done = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &done, nullptr) && done > 0)
        data.append(chunk, done);
    return true;
}

bool PathExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool DriveListed(char letter) { return (GetLogicalDrives() & (1u << (letter - 'A'))) != 0; }

DWORD UnmountInChild(const std::string &drive, DWORD handle)
{
    char line[128] = {};
    snprintf(line, sizeof line, "standin_unmount_child.exe %s %08lX", drive.c_str(),
             static_cast<unsigned long>(handle));
    std::vector<char> commandLine(line, line + strlen(line) + 1);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return ~0u;
    CKernelHandle process(pi.hProcess);
    CKernelHandle thread(pi.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = ~0u;
    GetExitCodeProcess(process.Get(), &code);
    return code;
}

void MountTest::SetUp() { m_drivesBefore = GetLogicalDrives(); }

void MountTest::TearDown() { EXPECT_EQ(m_drivesBefore, GetLogicalDrives()) << "a drive was left behind"; }
