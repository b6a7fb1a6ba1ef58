// crash_handler.cpp - InstallCrashHandler and CrashFilter: on an unhandled
// exception anywhere in the process, run the dump program, wait for it and
// tell the user where the dump is.
#include "diagnostics/crash_handler.h"

#include "win/handles.h"
#include "win/paths.h"

#include <cstdio>
#include <cstring>
#include <string>

char g_szDumpPath[MAX_PATH];

namespace {

// The dump program writes this file into its (our) current directory.
const char kDumpFileName[] = "brann.dmp";

const char kCrashCaption[] = "Brannick";

// Code page 936. Between the sentences: 15 tabs and 3 blanks.
// "尊敬的用户，我们的程序出现异常。已将异常信息记录在 %s ,"
// "此文件采用微软标准方法，收集错误数据，不会记录你的任何个人信息，"
// "请将此文件传递给我们，以便能更好的为你服务，十分感谢！"
const char kCrashMessage[] =
    "\xD7\xF0\xBE\xB4\xB5\xC4\xD3\xC3\xBB\xA7\xA3\xAC\xCE\xD2\xC3\xC7\xB5\xC4\xB3\xCC\xD0\xF2\xB3\xF6\xCF\xD6\xD2\xEC"
    "\xB3\xA3\xA1\xA3\xD2\xD1\xBD\xAB\xD2\xEC\xB3\xA3\xD0\xC5\xCF\xA2\xBC\xC7\xC2\xBC\xD4\xDA %s ,"
    "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t   "
    "\xB4\xCB\xCE\xC4\xBC\xFE\xB2\xC9\xD3\xC3\xCE\xA2\xC8\xED\xB1\xEA\xD7\xBC\xB7\xBD\xB7\xA8\xA3\xAC\xCA\xD5\xBC\xAF"
    "\xB4\xED\xCE\xF3\xCA\xFD\xBE\xDD\xA3\xAC\xB2\xBB\xBB\xE1\xBC\xC7\xC2\xBC\xC4\xE3\xB5\xC4\xC8\xCE\xBA\xCE\xB8\xF6"
    "\xC8\xCB\xD0\xC5\xCF\xA2\xA3\xAC"
    "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t   "
    "\xC7\xEB\xBD\xAB\xB4\xCB\xCE\xC4\xBC\xFE\xB4\xAB\xB5\xDD\xB8\xF8\xCE\xD2\xC3\xC7\xA3\xAC\xD2\xD4\xB1\xE3\xC4\xDC"
    "\xB8\xFC\xBA\xC3\xB5\xC4\xCE\xAA\xC4\xE3\xB7\xFE\xCE\xF1\xA3\xAC\xCA\xAE\xB7\xD6\xB8\xD0\xD0\xBB\xA3\xA1";

static_assert(sizeof(STARTUPINFOA) == 68, "start-up record size");

} // namespace

void InstallCrashHandler()
{
    std::memset(g_szDumpPath, 0, sizeof g_szDumpPath);
    const DWORD length = GetCurrentDirectoryA(sizeof g_szDumpPath, g_szDumpPath);
    const bool haveDir = length > 0 && length < sizeof g_szDumpPath;
    const std::string path = haveDir ? JoinPath(std::string(g_szDumpPath, length), kDumpFileName) : std::string();
    if (haveDir && path.size() < sizeof g_szDumpPath) {
        std::snprintf(g_szDumpPath, sizeof g_szDumpPath, "%s", path.c_str());
    } else {
        // No directory, or one too long for the path: the bare name still
        // names the file the dump program writes, and a cut path never
        // deletes some other file.
        std::snprintf(g_szDumpPath, sizeof g_szDumpPath, "%s", kDumpFileName);
    }
    DeleteFileA(g_szDumpPath);
    // The filter installed before is neither kept nor called.
    SetUnhandledExceptionFilter(CrashFilter);
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS *info)
{
    // The dump program reads the record out of this process by its address.
    char commandLine[MAX_PATH];
    std::snprintf(commandLine, sizeof commandLine, "userdump %u*%u %s", static_cast<unsigned>(GetCurrentThreadId()),
                  static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(info)), kDumpFileName);

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return EXCEPTION_CONTINUE_SEARCH;
    CKernelHandle processHandle(process.hProcess);
    CKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.Get(), INFINITE);

    char message[sizeof kCrashMessage + sizeof g_szDumpPath];
    std::snprintf(message, sizeof message, kCrashMessage, g_szDumpPath);
    MessageBoxA(nullptr, message, kCrashCaption, MB_OK);
    return EXCEPTION_EXECUTE_HANDLER;
}
