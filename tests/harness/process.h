// process.h - child programs: the folder of the running program, a program
// run to its end (bounded, its standard output captured) or started and
// left running.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>

// Folder of the running program (the build's bin folder, where the tests,
// the host, the bench and the DLLs lie side by side), with a trailing
// backslash.
std::string BinDir();
// The quoted path of a program of that folder: the start of a command line.
std::string BinProgram(const std::string &name);

struct ChildOptions {
    std::string currentDir;     // empty: this process's
    DWORD timeoutMs = INFINITE; // a child that runs longer is ended
    // Standard output into ChildRun::output. It goes through a file, not a
    // pipe: a program started on the way (a Wine service) would inherit a
    // pipe and hold it open after the child ended. Standard input reads
    // nothing; standard error is this process's, or nothing when quiet.
    bool captureOutput = false;
    bool quiet = false;
};

struct ChildRun {
    bool started = false;
    DWORD startError = 0; // why CreateProcess failed
    bool timedOut = false;
    DWORD exitCode = MAXDWORD;
    double ms = 0; // from CreateProcess to the child's end
    std::string output;
};

ChildRun RunChild(const std::string &commandLine, const ChildOptions &options = ChildOptions());

// RunChild for the tests: the exit code, MAXDWORD (the reason on stderr)
// when the program cannot start; output, when given, receives its standard
// output.
DWORD RunProgram(const std::string &commandLine, const std::string &currentDir = std::string(),
                 std::string *output = nullptr);

// Starts commandLine without waiting; an invalid handle (the reason on
// stderr) when it cannot start.
CKernelHandle StartProgram(const std::string &commandLine, const std::string &currentDir = std::string());

DWORD ExitCodeOf(HANDLE process);
