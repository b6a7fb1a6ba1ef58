// child_process.cpp - running helper programs and scratch folders for tests.
#include "child_process.h"

#include <gtest/gtest.h>

#include <vector>

std::string TestBinDir()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, length < sizeof path ? length : 0);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

namespace {

bool Start(const std::string &commandLine, const std::string &currentDir, HANDLE stdoutWrite,
           PROCESS_INFORMATION &process)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (stdoutWrite) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = stdoutWrite;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, stdoutWrite != nullptr, 0, nullptr,
                          currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &process) != FALSE;
}

} // namespace

CKernelHandle StartProgram(const std::string &commandLine, const std::string &currentDir)
{
    PROCESS_INFORMATION process{};
    if (!Start(commandLine, currentDir, nullptr, process)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return CKernelHandle();
    }
    CloseHandle(process.hThread);
    return CKernelHandle(process.hProcess);
}

DWORD ExitCodeOf(HANDLE process)
{
    DWORD code = MAXDWORD;
    GetExitCodeProcess(process, &code);
    return code;
}

DWORD RunProgram(const std::string &commandLine, const std::string &currentDir, std::string *stdoutText)
{
    CKernelHandle readEnd, writeEnd;
    if (stdoutText) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0)) {
            ADD_FAILURE() << "CreatePipe failed (error " << GetLastError() << ")";
            return MAXDWORD;
        }
        SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    }
    PROCESS_INFORMATION started{};
    if (!Start(commandLine, currentDir, writeEnd.Get(), started)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return MAXDWORD;
    }
    CKernelHandle process(started.hProcess), thread(started.hThread);
    if (stdoutText) {
        // Our copy of the write end goes, so the read ends with the child.
        writeEnd.Reset();
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
            stdoutText->append(buffer, got);
    }
    WaitForSingleObject(process.Get(), INFINITE);
    return ExitCodeOf(process.Get());
}

namespace {

void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA entry;
    CFindHandle find(FindFirstFileA((dir + "*").c_str(), &entry));
    if (find) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(dir + name + "\\");
            else
                DeleteFileA((dir + name).c_str());
        } while (FindNextFileA(find.Get(), &entry));
    }
    find.Reset();
    RemoveDirectoryA(dir.c_str());
}

} // namespace

CScratchDir::CScratchDir()
{
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    const std::string base(temp, length < sizeof temp ? length : 0);
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::string candidate =
            base + "sefrabox-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate + "\\";
            return;
        }
    }
    ADD_FAILURE() << "cannot create a scratch folder under " << base;
}

CScratchDir::~CScratchDir()
{
    if (!m_path.empty())
        RemoveTree(m_path);
}

bool FileExists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileHead(const std::string &path, size_t count)
{
    CFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    std::string bytes(count, '\0');
    DWORD got = 0;
    if (!ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(count), &got, nullptr))
        return std::string();
    bytes.resize(got);
    return bytes;
}
