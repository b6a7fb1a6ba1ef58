// chkdsk.cpp - RunChkdsk: the disk check in a process of its own.
//
// The check program is "sefra_chkdsk.exe" beside Palmet.dll. It gets the
// drive text (or a container file path) and the caller's switches; when
// the configuration asks for it ([Service] ChkdskLeftovers=1) also "/L",
// which makes it leave the recovered-file entries a real check leaves in
// the root. The result is the program's exit code, or the system's error
// when it cannot be started. The mode word (3 from the caller) is only
// checked for readability; the debug word, when non-zero, gives the
// program a console window of its own.
#include "suite/Palmet.h"

#include "platform_config.h"
#include "win/handles.h"
#include "win/pointers.h"

#include <string>
#include <vector>

namespace {

constexpr char kCheckProgram[] = "sefra_chkdsk.exe";

bool CheckProgramPath(std::string &path)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(palmet::PalmetModule(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return false;
    path = buffer;
    const size_t slash = path.find_last_of("\\/");
    path.erase(slash == std::string::npos ? 0 : slash + 1);
    path += kCheckProgram;
    return true;
}

} // namespace

extern "C" {

DWORD __cdecl RunChkdsk(const char *driveText, DWORD *mode, const char *switches, DWORD, DWORD debug)
{
    if (!IsReadableText(driveText) || driveText[0] == '\0' || (mode && !IsReadableBlock(mode, sizeof *mode)) ||
        (switches && !IsReadableText(switches)))
        return ERROR_INVALID_PARAMETER;
    std::string program;
    if (!CheckProgramPath(program))
        return ERROR_FILE_NOT_FOUND;
    std::string commandLine = "\"" + program + "\" \"" + driveText + "\"";
    if (switches && switches[0])
        commandLine += std::string(" ") + switches;
    if (palmet::ConfigNumber("Service", "ChkdskLeftovers", 0) != 0)
        commandLine += " /L";

    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE,
                        debug ? CREATE_NEW_CONSOLE : CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return GetLastError();
    CKernelHandle process(pi.hProcess);
    CKernelHandle thread(pi.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.Get(), &exitCode))
        return GetLastError();
    return exitCode;
}

} // extern "C"
