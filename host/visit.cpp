// visit.cpp - RunVisit (see visit.h).
#include "visit.h"

#include "explorer_windows.h"
#include "own_dialog.h"
#include "screenshot.h"

#include "clock.h"
#include "shown_drives.h"
#include "ui_support.h"
#include "window_finders.h"

#include "machine/shared_block.h"
#include "res/resource.h"
#include "win/handles.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr DWORD kDialogWaitMs = 60000;
constexpr DWORD kDriveWaitMs = 60000;
// The dialog waits up to 180 s for the window it launched; on a busy
// machine the window may come late.
constexpr DWORD kAdoptionWaitMs = 200000;
// Where the shell lists no windows, the launched window is waited for as
// long, and then its adoption, which cannot come, past the dialog's own
// fallback at 5 s.
constexpr DWORD kUnlistedAdoptionWaitMs = 8000;
constexpr DWORD kRetitleWaitMs = 15000;
constexpr DWORD kCloseWaitMs = 10000;
// A closed file manager's program ends in its time; the dialog is closed
// only after it, so that the shell's window list is not released while the
// program still revokes its window there (Wine's shell server has hung on
// the two at once).
constexpr DWORD kProgramEndWaitMs = 60000;
constexpr DWORD kWindowCloseWaitMs = 15000;

std::string DriveOf(const SharedBlock *shared)
{
    char text[sizeof shared->szDriveLetter] = {};
    std::memcpy(text, const_cast<const char *>(shared->szDriveLetter), sizeof text - 1);
    return (text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z') ? std::string(text, 2)
                                                                                    : std::string();
}

std::vector<std::string> ListRoot(const std::string &drive)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    CFindHandle find(FindFirstFileA((drive + "\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
            names.push_back(std::string(data.cFileName) +
                            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "\\" : ""));
    } while (FindNextFileA(find.Get(), &data));
    return names;
}

// Saves the screen, noting the rectangle that holds the given windows (the
// dialog first) so that a picture of them alone can be cut out of it.
void Screenshot(const VisitPlan &plan, VisitReport &report, const char *name, HWND dialog,
                const std::vector<HWND> &beside = {})
{
    if (plan.screensFolder.empty())
        return;
    VisitScreenshot shot{plan.screensFolder + "\\" + name, {}};
    GetWindowRect(dialog, &shot.shows);
    for (HWND window : beside) {
        RECT r{};
        if (GetWindowRect(window, &r))
            UnionRect(&shot.shows, &shot.shows, &r);
    }
    if (SaveScreenBitmap(shot.path))
        report.screenshots.push_back(shot);
}

void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

// The sefra's drive is open: the dialog takes the new window over, the
// window is closed as a person closes it, and the drive goes with it.
void CloseTheSefraWindow(HWND dialog, const SharedBlock *shared, const std::vector<HWND> &before, const VisitPlan &plan,
                         VisitReport &report)
{
    if (!report.shellListsWindows)
        PollUntil([&] { return !NewExplorers(before).empty(); }, kAdoptionWaitMs);
    report.adopted = PollUntil([&] { return ControlsEnabled(dialog, false) && !NewExplorers(before).empty(); },
                               report.shellListsWindows ? kAdoptionWaitMs : kUnlistedAdoptionWaitMs);
    const std::vector<HWND> opened = NewExplorers(before);
    if (!report.adopted || opened.empty()) {
        // The dialog did not take the window: the drive stays until the
        // window's program ends (where the dialog knows it) or the dialog.
        Screenshot(plan, report, "visit_drive.bmp", dialog, opened);
        const DWORD closed = GetTickCount();
        CloseExplorers(opened, kProgramEndWaitMs);
        report.driveRemoved = PollUntil([&] { return DriveOf(shared).empty(); }, 1000);
        report.removedAfterMs = GetTickCount() - closed;
        return;
    }
    const HWND window = opened.front();
    PollUntil([&] { return WindowTitle(window) == report.expectedTitle; }, kRetitleWaitMs);
    report.windowTitle = WindowTitle(window);
    PlaceBeside(window, dialog);
    Sleep(1000); // the moved window's paint
    Screenshot(plan, report, "visit_drive.bmp", dialog, {window});

    const DWORD closed = GetTickCount();
    PostMessageA(window, WM_CLOSE, 0, 0);
    report.driveRemoved =
        PollUntil([&] { return DriveOf(shared).empty() && !DriveExists(report.drive[0]); }, kWindowCloseWaitMs);
    report.removedAfterMs = GetTickCount() - closed;
    report.controlsBack = PollUntil([&] { return ControlsEnabled(dialog, true); }, kCloseWaitMs);
    // Their programs end; nothing of the visit stays.
    CloseExplorers(opened, kProgramEndWaitMs);
}

} // namespace

VisitReport RunVisit(const VisitPlan &plan, const SharedBlock *shared)
{
    VisitReport report;
    const HWND dialog = WaitForOwnDialog(IDC_PLATFORM1, kDialogWaitMs, plan.showReturned);
    if (!dialog) {
        report.problem = "the dialog did not come up";
        return report;
    }
    report.dialogShown = true;
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        report.shellListsWindows = ShellListsItsWindows();
        CoUninitialize();
    }
    Sleep(1000); // the first paint
    Screenshot(plan, report, "visit_dialog.bmp", dialog);

    // The first row, its password, the arrow button.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDC_PLATFORM1)));
    SetDlgItemTextA(dialog, IDC_PWD1, plan.password.c_str());
    char name[MAX_PATH] = {};
    GetDlgItemTextA(dialog, IDC_PLATFORM1, name, sizeof name);
    const std::vector<HWND> explorersBefore = ExplorerWindows();
    Click(dialog, IDC_ENTER1);
    PollUntil([&] { return !DriveOf(shared).empty(); }, kDriveWaitMs);
    report.drive = DriveOf(shared);
    if (report.drive.empty()) {
        report.problem = "no drive came for the sefra";
    } else {
        report.expectedTitle = std::string(name) + " (" + report.drive + ")";
        PollUntil([&] { return !(report.listing = ListRoot(report.drive)).empty(); }, 5000);
        CloseTheSefraWindow(dialog, shared, explorersBefore, plan, report);
    }
    // The dialog's close button.
    Click(dialog, IDCANCEL);
    return report;
}
