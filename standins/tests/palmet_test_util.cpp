// palmet_test_util.cpp - helpers of the Palmet stand-in tests.
#include "palmet_test_util.h"

#include "win/handles.h"

#include <shellapi.h>

#include <vector>

namespace palmet_test {

TempFolder::TempFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    static LONG s_serial = 0;
    for (;;) {
        m_path = std::string(temp) + "palmet_" + std::to_string(GetCurrentProcessId()) + "_" +
                 std::to_string(InterlockedIncrement(&s_serial));
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return;
    }
}

TempFolder::~TempFolder()
{
    // Double-terminated list for the shell's delete.
    std::vector<char> from(m_path.begin(), m_path.end());
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.data();
    op.fFlags = FOF_NO_UI;
    SHFileOperationA(&op);
}

constexpr char kConfigVariable[] = "SEFRA_STANDIN_CONFIG";

ConfigOverride::ConfigOverride(const std::string &path)
{
    char previous[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(kConfigVariable, previous, sizeof previous);
    m_hadValue = length > 0 && length < sizeof previous;
    m_previous = m_hadValue ? previous : "";
    SetEnvironmentVariableA(kConfigVariable, path.c_str());
}

ConfigOverride::~ConfigOverride()
{
    SetEnvironmentVariableA(kConfigVariable, m_hadValue ? m_previous.c_str() : nullptr);
}

bool WriteText(const std::string &path, const std::string &text)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return h && WriteFile(h.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

std::string ReadText(const std::string &path)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h)
        return std::string();
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(h.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    folder.erase(folder.find_last_of('\\') + 1);
    return folder;
}

HANDLE StartProgram(const std::string &program, const std::string &arguments)
{
    const std::string exe = ProgramFolder() + program;
    std::string line = "\"" + exe + "\" " + arguments;
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CKernelHandle thread(pi.hThread);
    return pi.hProcess;
}

DWORD RunProgram(const std::string &program, const std::string &arguments)
{
    CKernelHandle process(StartProgram(program, arguments));
    if (!process)
        return 0xFFFFFFFF;
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.Get(), &code);
    return code;
}

} // namespace palmet_test
