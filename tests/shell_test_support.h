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

// Pumps this thread's messages (through the dialogs' pre-translation, as
// the modal loop does) until done() holds; false when it never did within
// a generous number of rounds.
bool PumpUntil(const std::function<bool()> &done);

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

} // namespace shell_test
