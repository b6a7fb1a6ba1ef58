// visit.cpp - RunVisit (see visit.h).
#include "visit.h"

#include "own_dialog.h"
#include "screenshot.h"

#include "module/shared_block.h"
#include "res/resource.h"
#include "win/handles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kDialogWaitMs = 60000;
constexpr DWORD kDriveWaitMs = 60000;
constexpr DWORD kCloseWaitMs = 10000;
constexpr DWORD kWindowCloseWaitMs = 15000;

std::string DriveOf(const SharedBlock *shared)
{
    char text[sizeof shared->szDriveLetter] = {};
    std::memcpy(text, const_cast<const char *>(shared->szDriveLetter), sizeof text - 1);
    return (text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z') ? std::string(text, 2)
                                                                                    : std::string();
}

// Polls until the shared block names a drive (want true) or none.
std::string WaitForDrive(const SharedBlock *shared, bool want, DWORD timeoutMs)
{
    for (DWORD waited = 0;; waited += 100) {
        const std::string drive = DriveOf(shared);
        if (drive.empty() != want || waited >= timeoutMs)
            return drive;
        Sleep(100);
    }
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

bool IsExplorerClass(HWND hwnd)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpiA(cls, "CabinetWClass") == 0 || lstrcmpiA(cls, "ExploreWClass") == 0 ||
           lstrcmpiA(cls, "ExplorerWClass") == 0;
}

BOOL CALLBACK CollectExplorers(HWND hwnd, LPARAM l)
{
    if (IsExplorerClass(hwnd) && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND> *>(l)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> ExplorerWindows()
{
    std::vector<HWND> found;
    EnumWindows(CollectExplorers, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> NewExplorers(const std::vector<HWND> &before)
{
    std::vector<HWND> added;
    for (HWND hwnd : ExplorerWindows()) {
        if (std::find(before.begin(), before.end(), hwnd) == before.end())
            added.push_back(hwnd);
    }
    return added;
}

// Closes the Explorer windows that were not there before, as the user's
// click on their close box would, and waits for their programs to end.
void CloseNewExplorers(const std::vector<HWND> &before)
{
    for (HWND hwnd : NewExplorers(before)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        CKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        if (process && pid != GetCurrentProcessId())
            WaitForSingleObject(process.Get(), kCloseWaitMs);
    }
}

void Screenshot(const VisitPlan &plan, VisitReport &report, const char *name)
{
    if (plan.screensFolder.empty())
        return;
    const std::string path = plan.screensFolder + "\\" + name;
    if (SaveScreenBitmap(path))
        report.screenshots.push_back(path);
}

void Click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
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
    Sleep(1000); // the first paint
    Screenshot(plan, report, "visit_dialog.bmp");

    // The first row, its password, the arrow button.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDC_PLATFORM1)));
    SetDlgItemTextA(dialog, IDC_PWD1, plan.password.c_str());
    const std::vector<HWND> explorersBefore = ExplorerWindows();
    Click(dialog, IDC_ENTER1);
    report.drive = WaitForDrive(shared, true, kDriveWaitMs);
    if (report.drive.empty()) {
        report.problem = "no drive came for the sefra";
    } else {
        for (int i = 0; i < 50 && report.listing.empty(); ++i) {
            report.listing = ListRoot(report.drive);
            if (report.listing.empty())
                Sleep(100);
        }
        // The Explorer window on the drive (a slow machine takes a while).
        for (int i = 0; i < 150 && NewExplorers(explorersBefore).empty(); ++i)
            Sleep(100);
        Sleep(1000); // its first paint
        Screenshot(plan, report, "visit_drive.bmp");

        // Closing the Explorer window closes the sefra, when the dialog knows
        // the window: an Explorer that does not register its windows with
        // the shell's collection (Wine's) leaves the drive to the dialog's end.
        CloseNewExplorers(explorersBefore);
        report.driveRemoved = WaitForDrive(shared, false, kWindowCloseWaitMs).empty();
    }
    // The dialog's close button.
    Click(dialog, IDCANCEL);
    return report;
}
