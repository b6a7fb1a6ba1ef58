// shell_test_support.h - what the Explorer window tests share: a message
// pump that runs until a condition holds, the launch of "Explorer.exe" taken
// over by the test double, and the answer to the module's question boxes.
#pragma once

#include "shell_double.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace shell_test {

// PumpDialogsUntil, by default for a generous 15 s.
bool PumpUntil(const std::function<bool()> &done, DWORD atLeastMs = 15000);

// One launch as the code asked for it.
struct Launch {
    std::string file, parameters;
    ULONG mask = 0;
    int show = 0;
    bool hasVerb = false, hasDirectory = false, hasOwner = false;
};

// What a launch does in the double.
enum class LaunchAnswer {
    OpenWindow, // a "CabinetWClass" window titled "Sefra (X:)" registers from the message loop
    Nothing,    // the launch succeeds but no window registers
    EndAtOnce,  // the started program ends at once, without a window
    Fail,       // the launch fails with ERROR_FILE_NOT_FOUND
};

// Installs the launch into double for the scope; launches are recorded.
class CLaunchIntoDouble {
public:
    CLaunchIntoDouble(shell_double::CFakeShellWindows &windows, LaunchAnswer answer);
    ~CLaunchIntoDouble();
    CLaunchIntoDouble(const CLaunchIntoDouble &) = delete;
    CLaunchIntoDouble &operator=(const CLaunchIntoDouble &) = delete;
    const std::vector<Launch> &Launches() const;
    void SetAnswer(LaunchAnswer answer);
};

// Installs for the scope a launch of Wine's own file manager that is held
// back: its program starts suspended and runs after holdMs, or, when
// endInstead, is ended then without ever having run (as is a program still
// held when the scope ends). Only one at a time.
class CHeldFileManagerLaunch {
public:
    CHeldFileManagerLaunch(DWORD holdMs, bool endInstead);
    ~CHeldFileManagerLaunch();
    CHeldFileManagerLaunch(const CHeldFileManagerLaunch &) = delete;
    CHeldFileManagerLaunch &operator=(const CHeldFileManagerLaunch &) = delete;
    // The program of the last launch; 0 before the first.
    DWORD ProgramId() const;
};

} // namespace shell_test
