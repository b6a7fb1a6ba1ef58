// shell_test_support.cpp - pump, launch seam and box answers of the
// Explorer window tests.
#include "shell_test_support.h"

#include "shell/explorer_launch.h"
#include "ui_support.h"
#include "win/dialog.h"

namespace shell_test {

namespace {

constexpr int kRounds = 1500;

shell_double::CFakeShellWindows *g_windows = nullptr;
LaunchAnswer g_answer = LaunchAnswer::OpenWindow;
std::vector<Launch> g_launches;
ExplorerLaunchFn g_before = nullptr;

BOOL WINAPI LaunchIntoDouble(SHELLEXECUTEINFOA *info)
{
    Launch launch;
    launch.file = info->lpFile ? info->lpFile : "";
    launch.parameters = info->lpParameters ? info->lpParameters : "";
    launch.mask = info->fMask;
    launch.show = info->nShow;
    launch.hasVerb = info->lpVerb != nullptr;
    launch.hasDirectory = info->lpDirectory != nullptr;
    launch.hasOwner = info->hwnd != nullptr;
    g_launches.push_back(launch);
    if (g_answer == LaunchAnswer::Fail) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (g_answer == LaunchAnswer::OpenWindow) {
        // The new window registers later, from the message loop, as a
        // started program's window would.
        const std::string title = "Sefra (" + launch.parameters.substr(0, 2) + ")";
        shell_double::CFakeShellWindows *windows = g_windows;
        RunFromLoop([windows, title] { windows->Open("CabinetWClass", title.c_str()); });
    }
    return TRUE;
}

} // namespace

bool PumpUntil(const std::function<bool()> &done)
{
    for (int round = 0; round < kRounds; ++round) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CDialog::PreTranslateThreadMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

CLaunchIntoDouble::CLaunchIntoDouble(shell_double::CFakeShellWindows &windows, LaunchAnswer answer)
{
    g_windows = &windows;
    g_answer = answer;
    g_launches.clear();
    g_before = SetExplorerLaunchForTesting(LaunchIntoDouble);
}

CLaunchIntoDouble::~CLaunchIntoDouble()
{
    SetExplorerLaunchForTesting(g_before);
    g_windows = nullptr;
}

const std::vector<Launch> &CLaunchIntoDouble::Launches() const { return g_launches; }

void CLaunchIntoDouble::SetAnswer(LaunchAnswer answer) { g_answer = answer; }

} // namespace shell_test
