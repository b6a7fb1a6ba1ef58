// child_process.h - what the tests need to run their helper programs: the
// folder of the test programs, a program run to its end (its standard output
// captured) and a scratch folder removed with everything in it.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>

// Folder of the running test program, with a trailing backslash.
std::string TestBinDir();

// Starts commandLine (current directory currentDir unless empty), waits for
// its end and returns its exit code; stdout, when given, receives its
// standard output. Reports a test failure and returns MAXDWORD when the
// program cannot be started.
DWORD RunProgram(const std::string &commandLine, const std::string &currentDir = std::string(),
                 std::string *stdoutText = nullptr);

// Starts commandLine without waiting; an invalid handle when it cannot start.
CKernelHandle StartProgram(const std::string &commandLine, const std::string &currentDir = std::string());

DWORD ExitCodeOf(HANDLE process);

// A fresh folder under the system's temporary folder, deleted with its
// contents at the end of the scope.
class CScratchDir {
public:
    CScratchDir();
    ~CScratchDir();
    CScratchDir(const CScratchDir &) = delete;
    CScratchDir &operator=(const CScratchDir &) = delete;

    // With a trailing backslash.
    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
};

bool FileExists(const std::string &path);
// The first bytes of a file (at most count); empty when it cannot be read.
std::string ReadFileHead(const std::string &path, size_t count);
