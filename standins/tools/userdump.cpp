// userdump.cpp - stand-in for the dump program that the crash handler of
// Sefrabox.dll starts: "userdump <thread id>*<record address> <file>".
//
// The thread id names a thread of the crashed process; the address is that
// of the EXCEPTION_POINTERS record in the crashed process's memory. Writes a
// minidump of that process to <file> (relative to the current directory,
// which the crashed process hands down) and exits 0; 1 on a bad command
// line, 2 when the process cannot be opened, 3 when the dump fails.
//
// Platform quirk: where 32-bit Windows programs run through QEMU's user-mode
// emulator (Wine on a machine without native i386 support), the emulated
// wineserver cannot read another process's memory (QEMU implements no
// ptrace), so ReadProcessMemory fails with access denied. The dump is then
// written without memory ranges, module list and exception record contents
// (system, thread and context data only), and a note says so on stderr.
#include "win/handles.h"

#include <windows.h>

#include <dbghelp.h>

#include <cstdio>
#include <cstring>

namespace {

bool ParseUnsigned(const char *text, const char *end, DWORD &value)
{
    if (text == end)
        return false;
    unsigned long long v = 0;
    for (const char *p = text; p != end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(*p - '0');
        if (v > 0xFFFFFFFFull)
            return false;
    }
    value = static_cast<DWORD>(v);
    return true;
}

// "<thread>*<address>", both unsigned decimal.
bool ParseTarget(const char *arg, DWORD &threadId, DWORD &recordAddress)
{
    const char *star = std::strchr(arg, '*');
    return star && ParseUnsigned(arg, star, threadId) &&
           ParseUnsigned(star + 1, star + std::strlen(star), recordAddress);
}

int Fail(int code, const char *what)
{
    std::fprintf(stderr, "userdump: %s (error %lu)\n", what, GetLastError());
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    DWORD threadId = 0;
    DWORD recordAddress = 0;
    if (argc != 3 || !ParseTarget(argv[1], threadId, recordAddress)) {
        std::fprintf(stderr, "usage: userdump <thread id>*<exception record address> <dump file>\n");
        return 1;
    }

    CKernelHandle thread(OpenThread(THREAD_QUERY_INFORMATION, FALSE, threadId));
    if (!thread)
        return Fail(2, "cannot open the crashed thread");
    const DWORD processId = GetProcessIdOfThread(thread.Get());
    if (processId == 0)
        return Fail(2, "cannot find the crashed process");
    const DWORD access = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE;
    CKernelHandle process(OpenProcess(access, FALSE, processId));
    if (!process)
        return Fail(2, "cannot open the crashed process");

    CFileHandle file(
        CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return Fail(3, "cannot create the dump file");

    // The record lives in the crashed process: ClientPointers tells the
    // writer to read it from there.
    // Without "invading" the process: dbghelp's own start-up reads the
    // process's memory and would refuse the whole dump where that fails.
    SymInitialize(process.Get(), nullptr, FALSE);
    MINIDUMP_EXCEPTION_INFORMATION exception{};
    exception.ThreadId = threadId;
    exception.ExceptionPointers = reinterpret_cast<EXCEPTION_POINTERS *>(static_cast<ULONG_PTR>(recordAddress));
    exception.ClientPointers = TRUE;
    if (!MiniDumpWriteDump(process.Get(), processId, file.Get(), MiniDumpNormal, recordAddress ? &exception : nullptr,
                           nullptr, nullptr))
        return Fail(3, "cannot write the dump");
    SymCleanup(process.Get());

    EXCEPTION_POINTERS probe{};
    if (recordAddress && !ReadProcessMemory(process.Get(), exception.ExceptionPointers, &probe, sizeof probe, nullptr))
        std::fprintf(stderr,
                     "userdump: the crashed process's memory is not readable here (error %lu); the dump "
                     "holds system, thread and context data only\n",
                     GetLastError());
    return 0;
}
