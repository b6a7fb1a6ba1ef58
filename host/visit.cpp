// visit.cpp - RunVisit (see visit.h).
#include "visit.h"

#include "own_dialog.h"
#include "screenshot.h"

#include "module/shared_block.h"
#include "res/resource.h"
#include "win/handles.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr DWORD kDialogWaitMs = 60000;
constexpr DWORD kDriveWaitMs = 60000;
constexpr DWORD kCloseWaitMs = 60000;

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

struct ExplorerSearch {
    std::string drive;
    std::vector<HWND> windows;
};

// Explorer windows whose title names the drive ("<name> (X:)", "X:\").
BOOL CALLBACK MatchExplorer(HWND hwnd, LPARAM l)
{
    auto *search = reinterpret_cast<ExplorerSearch *>(l);
    char cls[32] = {}, title[256] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    const bool explorer = lstrcmpiA(cls, "CabinetWClass") == 0 || lstrcmpiA(cls, "ExploreWClass") == 0 ||
                          lstrcmpiA(cls, "ExplorerWClass") == 0;
    if (explorer && IsWindowVisible(hwnd) && std::strstr(title, search->drive.c_str()))
        search->windows.push_back(hwnd);
    return TRUE;
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
        Sleep(3000); // the Explorer window on the drive
        Screenshot(plan, report, "visit_drive.bmp");

        // Closing the Explorer window closes the sefra.
        ExplorerSearch search{report.drive, {}};
        EnumWindows(MatchExplorer, reinterpret_cast<LPARAM>(&search));
        for (HWND window : search.windows)
            PostMessageA(window, WM_CLOSE, 0, 0);
        report.driveRemoved = WaitForDrive(shared, false, kCloseWaitMs).empty();
        if (!report.driveRemoved)
            report.problem = "the drive stayed after its window closed; the dialog's end removes it";
    }
    // The dialog's close button.
    Click(dialog, IDCANCEL);
    return report;
}
