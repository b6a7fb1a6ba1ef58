// bench_window.cpp - opening a sefra to its named window, as the person
// feels it: on the main dialog's own object (the library's code linked into
// this program), from the arrow button's click to the file manager's window
// titled "<name> (X:)", which the dialog launched, adopted and renamed. The
// peer is the platform's floor for it: the same ShellExecuteEx of
// "Explorer.exe" on a drive that already exists (the bare driver link on
// the same folder), to its window shown on the drive. The two alternate, so
// that a machine that grows busier or quieter meets both alike.
//
// Both pump this thread's messages as the dialog's modal loop does (every
// millisecond): the dialog's events, timers and the shell-window provider
// run on it.
#include "bench_rows.h"
#include "bench_util.h"
#include "shown_drives.h"
#include "machine/shared_block.h"
#include "module/app.h"
#include "res/resource.h"
#include "suite/Kestor.h"
#include "ui/sefrabox_dlg.h"
#include "ui_support.h"
#include "window_finders.h"

#include <functional>

namespace {

const char kRowName[] = "open sefra to its named window";
const char kTarget[] = "1.25";
constexpr DWORD kWindowWaitMs = 120000;
constexpr DWORD kCloseWaitMs = 30000;
constexpr DWORD kPollMs = 1;

bool IsFileManagerWindow(HWND hwnd)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpiA(cls, "ExplorerWClass") == 0 || lstrcmpiA(cls, "CabinetWClass") == 0 ||
           lstrcmpiA(cls, "ExploreWClass") == 0;
}

// The shown file-manager window whose title holds text, or null.
HWND FileManagerTitled(const std::string &text)
{
    return ShownWindows()
        .Where(
            [&](HWND hwnd) { return IsFileManagerWindow(hwnd) && WindowTitle(hwnd).find(text) != std::string::npos; })
        .First();
}

char FreeLetter()
{
    for (char c = 'M'; c <= 'Y'; ++c) {
        const char root[] = {c, ':', '\\', '\0'};
        if (!DriveExists(c) && GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES)
            return c;
    }
    return 0;
}

// Closes the window as its close box does and waits for its program to end.
bool CloseWindowAndProgram(HWND window, const std::function<bool()> &alsoDone)
{
    const CKernelHandle program(OpenProcess(SYNCHRONIZE, FALSE, ProcessOfWindow(window)));
    PostMessageA(window, WM_CLOSE, 0, 0);
    return PumpDialogsUntil(
        [&] { return alsoDone() && (!program || WaitForSingleObject(program.Get(), 0) == WAIT_OBJECT_0); },
        kCloseWaitMs, kPollMs);
}

// One visit on the dialog: the click to the named window, in ms; a negative
// value, with reason set, when it failed.
double OurVisit(CSefraboxDlg &dlg, std::string &reason)
{
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED),
                    reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_PLATFORM1)));
    SetDlgItemTextA(dlg, IDC_PWD1, "main");
    const double t0 = NowMs();
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ENTER1, BN_CLICKED),
                    reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_ENTER1)));
    const char letter = g_szDriveLetter[0];
    if (letter < 'A' || letter > 'Z') {
        reason = "the drive never appeared";
        return -1;
    }
    const std::string title = dlg.StateForTests().m_szSefraName + " (" + letter + ":)";
    HWND window = nullptr;
    if (!PumpDialogsUntil([&] { return (window = FileManagerTitled(title)) != nullptr; }, kWindowWaitMs, kPollMs)) {
        reason = "no window was named after the sefra (is the shell-window provider registered?)";
        return -1;
    }
    const double ms = NowMs() - t0;
    if (!CloseWindowAndProgram(window,
                               [&] { return !DriveExists(letter) && IsWindowEnabled(dlg.GetDlgItem(IDC_ENTER1)); })) {
        reason = "the drive stayed after its window closed";
        return -1;
    }
    return ms;
}

// The floor: the file manager launched on an existing drive, to its window
// shown on the drive, in ms; negative, with reason set, when it failed.
double PeerVisit(const std::string &folder, std::string &reason)
{
    const char letter = FreeLetter();
    const std::string drive = std::string(1, letter) + ":";
    const std::string link = "\\DosDevices\\" + drive;
    if (!letter || Our_IoCreateSymbolicLink(link.c_str(), folder.c_str(), 1) != 0) {
        reason = "the bare driver link gave no drive";
        return -1;
    }
    const std::string root = drive + "\\";
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = "Explorer.exe";
    info.lpParameters = root.c_str();
    info.nShow = SW_SHOWNORMAL;
    const double t0 = NowMs();
    HWND window = nullptr;
    const bool launched = ShellExecuteExA(&info) != FALSE;
    const CKernelHandle program(info.hProcess);
    const std::string shows = "(" + drive + ")";
    double ms = -1;
    if (!launched)
        reason = "ShellExecuteEx(Explorer.exe) failed";
    else if (!PumpDialogsUntil([&] { return (window = FileManagerTitled(shows)) != nullptr; }, kWindowWaitMs, kPollMs))
        reason = "the file manager showed no window on the drive";
    else
        ms = NowMs() - t0;
    if (window)
        CloseWindowAndProgram(window, [] { return true; });
    Our_IoCreateSymbolicLink(link.c_str(), "", 0);
    return ms;
}

} // namespace

BenchRow BenchOpenToWindow(const DemoWorld &world, int visits)
{
    if (world.folder.empty())
        return NaRow(kRowName, kTarget, "no demo world");
    g_hSefraboxInstance = GetModuleHandleA(nullptr);
    CConfigOverride config(world.Config());
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Progress("open to window: %d visits and as many launches on a drive, alternating", visits);
    std::vector<double> ours, peer;
    std::string reason;
    {
        CSefraboxDlg dlg(nullptr);
        if (!dlg.Initialize(nullptr, nullptr, TRUE) || !dlg.Create() || dlg.StateForTests().m_slTarget.empty())
            reason = "the dialog could not be prepared on the demo world";
        // The first launch of the file manager loads what every later one
        // finds loaded: not counted.
        if (reason.empty() && PeerVisit(world.Sefra(kMainSefra), reason) < 0)
            reason = "warm-up: " + reason;
        for (int i = 0; i < visits && reason.empty(); ++i) {
            const double a = OurVisit(dlg, reason);
            const double b = reason.empty() ? PeerVisit(world.Sefra(kMainSefra), reason) : -1;
            if (a >= 0 && b >= 0) {
                ours.push_back(a);
                peer.push_back(b);
            }
        }
        if (dlg.IsWindow())
            dlg.DestroyWindow();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    if (!reason.empty())
        return NaRow(kRowName, kTarget, reason);
    return CostRow(kRowName, Median(ours), Median(peer), "ms", kTarget,
                   Format("arrow click to the file manager's window titled \"<name> (X:)\"; vs ShellExecuteEx "
                          "(Explorer.exe) on an existing drive to its window shown; alternating, median of %d",
                          visits));
}
