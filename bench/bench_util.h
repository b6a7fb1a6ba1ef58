// bench_util.h - what every figure of the benchmark needs: the harness's
// clock, child programs and files, medians, child programs run quietly with
// a time limit, file trees made and counted, and committed private memory.
#pragma once

#include "clock.h"
#include "files.h"
#include "process.h"
#include "win/handles.h"

#include <windows.h>

#include <string>
#include <vector>

double Median(std::vector<double> values);
double Worst(const std::vector<double> &values);

// Progress lines go to stderr, so the table on stdout stays clean.
void Progress(const char *format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));

// Runs commandLine (cmd.exe, xcopy.exe ... are found on the path), waits at
// most timeoutMs and ends it when it takes longer; standard output is
// captured, standard input and error lead nowhere.
ChildRun RunQuiet(const std::string &commandLine, DWORD timeoutMs);

// "key value" lines of a child's output; empty when the key is missing.
std::string OutputValue(const std::string &output, const std::string &key);

bool WriteBytes(const std::string &path, size_t size, unsigned seed);

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
