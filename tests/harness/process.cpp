// process.cpp - child programs (see process.h).
#include "process.h"

#include "clock.h"
#include "files.h"

#include <cstdio>
#include <vector>

std::string BinDir()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string file(path, length < sizeof path ? length : 0);
    return file.substr(0, file.find_last_of('\\') + 1);
}

std::string BinProgram(const std::string &name) { return "\"" + BinDir() + name + "\""; }

namespace {

// CreateProcessA on a writable copy of the command line; stdio, when given,
// holds the three inheritable standard handles.
bool Start(const std::string &commandLine, const std::string &currentDir, const HANDLE *stdio,
           PROCESS_INFORMATION &process)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (stdio) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = stdio[0];
        startup.hStdOutput = stdio[1];
        startup.hStdError = stdio[2];
    }
    return CreateProcessA(nullptr, line.data(), nullptr, nullptr, stdio != nullptr, 0, nullptr,
                          currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &process) != FALSE;
}

void ReportStartFailure(const std::string &commandLine, DWORD error)
{
    std::fprintf(stderr, "cannot start %s (error %lu)\n", commandLine.c_str(), error);
}

} // namespace

ChildRun RunChild(const std::string &commandLine, const ChildOptions &options)
{
    ChildRun run;
    char temp[MAX_PATH] = {}, outPath[MAX_PATH] = {};
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    CFileHandle out, nul;
    if (options.captureOutput) {
        GetTempPathA(sizeof temp, temp);
        if (!GetTempFileNameA(temp, "sbc", 0, outPath)) {
            run.startError = GetLastError();
            return run;
        }
        out.Reset(CreateFileA(outPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        nul.Reset(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr));
    }
    const HANDLE stdio[3] = {nul.Get(), out.Get(), options.quiet ? nul.Get() : GetStdHandle(STD_ERROR_HANDLE)};
    PROCESS_INFORMATION started{};
    const double start = NowMs();
    if ((options.captureOutput && !out) ||
        !Start(commandLine, options.currentDir, options.captureOutput ? stdio : nullptr, started)) {
        run.startError = GetLastError();
    } else {
        CKernelHandle process(started.hProcess), thread(started.hThread);
        run.started = true;
        if (WaitForSingleObject(process.Get(), options.timeoutMs) != WAIT_OBJECT_0) {
            run.timedOut = true;
            TerminateProcess(process.Get(), WAIT_TIMEOUT);
            WaitForSingleObject(process.Get(), 5000);
        }
        run.ms = NowMs() - start;
        run.exitCode = ExitCodeOf(process.Get());
    }
    if (options.captureOutput) {
        out.Reset();
        run.output = ReadText(outPath);
        DeleteFileA(outPath);
    }
    return run;
}

DWORD RunProgram(const std::string &commandLine, const std::string &currentDir, std::string *output)
{
    ChildOptions options;
    options.currentDir = currentDir;
    options.captureOutput = output != nullptr;
    ChildRun run = RunChild(commandLine, options);
    if (!run.started)
        ReportStartFailure(commandLine, run.startError);
    if (output)
        *output = std::move(run.output);
    return run.exitCode;
}

CKernelHandle StartProgram(const std::string &commandLine, const std::string &currentDir)
{
    PROCESS_INFORMATION started{};
    if (!Start(commandLine, currentDir, nullptr, started)) {
        ReportStartFailure(commandLine, GetLastError());
        return CKernelHandle();
    }
    CKernelHandle thread(started.hThread);
    return CKernelHandle(started.hProcess);
}

DWORD ExitCodeOf(HANDLE process)
{
    DWORD code = MAXDWORD;
    GetExitCodeProcess(process, &code);
    return code;
}
