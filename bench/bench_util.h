// bench_util.h - what every figure of the benchmark needs: a clock, medians,
// the program's own folder, child programs run with a time limit and their
// output captured, file trees made and counted, and committed private memory.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>
#include <vector>

// Milliseconds on the performance counter; comparable across processes.
double NowMs();

double Median(std::vector<double> values);
double Worst(const std::vector<double> &values);

// Folder of the running program (the build's bin folder), with a backslash.
std::string BinDir();

// Progress lines go to stderr, so the table on stdout stays clean.
void Progress(const char *format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

struct ChildRun {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = MAXDWORD;
    double ms = 0;      // from CreateProcess to the process's end
    std::string output; // its standard output
};

// Runs commandLine (cmd.exe, xcopy.exe ... are found on the path), waits at
// most timeoutMs and ends it when it takes longer; standard output is
// captured through a file, standard input and error lead nowhere.
ChildRun RunChild(const std::string &commandLine, DWORD timeoutMs);

// This program again with the arguments, as RunChild.
ChildRun RunSelf(const std::string &arguments, DWORD timeoutMs);

// "key value" lines of a child's output; empty when the key is missing.
std::string OutputValue(const std::string &output, const std::string &key);

bool WriteBytes(const std::string &path, size_t size, unsigned seed);
bool MakeFolder(const std::string &path);
// Removes a folder with everything in it; best effort, for clean-up only.
void RemoveTree(const std::string &path);

struct TreeCount {
    size_t files = 0, folders = 0;
    unsigned long long bytes = 0;
};
TreeCount CountTree(const std::string &path);

// files small files (size bytes) in nested folders under root: ten entries
// a folder, leaf folders of ten files, as deep as the count needs.
bool MakeNestedTree(const std::string &root, size_t files, size_t size);

// Committed private memory of this process in bytes (a walk of the address
// space with VirtualQuery: what the system itself counts as private bytes).
unsigned long long PrivateBytes();
