// shell_test_support.cpp - pump, launch seam and box answers of the
// Explorer window tests.
#include "shell_test_support.h"

#include "process.h"
#include "shell/explorer_launch.h"
#include "ui_support.h"
#include "win/handles.h"

#include <memory>
#include <thread>

namespace shell_test {

namespace {

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
    if (g_answer == LaunchAnswer::EndAtOnce) {
        // As the file manager ends when it hands the folder to a window that
        // shows it already.
        CKernelHandle program = StartProgram("cmd.exe /c exit 0");
        WaitForSingleObject(program.Get(), INFINITE);
        if (info->fMask & SEE_MASK_NOCLOSEPROCESS)
            info->hProcess = program.Detach();
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

bool PumpUntil(const std::function<bool()> &done, DWORD atLeastMs) { return PumpDialogsUntil(done, atLeastMs); }

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

namespace {

struct HeldLaunch {
    DWORD holdMs = 0;
    bool endInstead = false;
    DWORD programId = 0;
    CKernelHandle release; // set: the hold ends now
    std::vector<std::thread> holders;
};
std::unique_ptr<HeldLaunch> g_held;

// What ShellExecuteEx does for "Explorer.exe", with the program suspended.
BOOL WINAPI LaunchHeld(SHELLEXECUTEINFOA *info)
{
    std::string commandLine = std::string("explorer.exe ") + (info->lpParameters ? info->lpParameters : "");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &started))
        return FALSE;
    auto process = std::make_shared<CKernelHandle>(started.hProcess);
    auto thread = std::make_shared<CKernelHandle>(started.hThread);
    g_held->programId = started.dwProcessId;
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS)
        DuplicateHandle(GetCurrentProcess(), process->Get(), GetCurrentProcess(), &info->hProcess, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
    info->hInstApp = reinterpret_cast<HINSTANCE>(33);
    const HANDLE release = g_held->release.Get();
    const DWORD holdMs = g_held->holdMs;
    const bool endInstead = g_held->endInstead;
    g_held->holders.emplace_back([=] {
        // Let go before the hold passed: the program is not wanted.
        if (WaitForSingleObject(release, holdMs) == WAIT_OBJECT_0 || endInstead)
            TerminateProcess(process->Get(), 1);
        else
            ResumeThread(thread->Get());
    });
    return TRUE;
}

} // namespace

CHeldFileManagerLaunch::CHeldFileManagerLaunch(DWORD holdMs, bool endInstead)
{
    g_held = std::make_unique<HeldLaunch>();
    g_held->holdMs = holdMs;
    g_held->endInstead = endInstead;
    g_held->release.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    g_before = SetExplorerLaunchForTesting(LaunchHeld);
}

CHeldFileManagerLaunch::~CHeldFileManagerLaunch()
{
    SetExplorerLaunchForTesting(g_before);
    SetEvent(g_held->release.Get());
    for (std::thread &holder : g_held->holders)
        holder.join();
    g_held.reset();
}

DWORD CHeldFileManagerLaunch::ProgramId() const { return g_held->programId; }

} // namespace shell_test
