// palmet_test_util.h - helpers of the Palmet stand-in tests: a private
// temporary folder, the configuration override, child programs.
#pragma once

#include <windows.h>

#include <string>

namespace palmet_test {

// A new empty folder under the temporary folder, removed with its content
// when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;
    const std::string &Path() const { return m_path; }
    std::string operator/(const std::string &name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Sets SEFRA_STANDIN_CONFIG for the object's life (child processes inherit
// it); the previous value, or its absence, comes back afterwards.
class ConfigOverride {
public:
    explicit ConfigOverride(const std::string &path);
    ~ConfigOverride();
    ConfigOverride(const ConfigOverride &) = delete;
    ConfigOverride &operator=(const ConfigOverride &) = delete;

private:
    bool m_hadValue = false;
    std::string m_previous;
};

bool WriteText(const std::string &path, const std::string &text);
std::string ReadText(const std::string &path);
bool Exists(const std::string &path);

// Folder of the running test program (the build's bin folder).
std::string ProgramFolder();

// Runs a program of the bin folder with the arguments, waits, returns its
// exit code (or 0xFFFFFFFF when it could not be started).
DWORD RunProgram(const std::string &program, const std::string &arguments);

// Starts a program without waiting; the caller owns the process handle.
HANDLE StartProgram(const std::string &program, const std::string &arguments);

} // namespace palmet_test
