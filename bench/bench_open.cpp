// bench_open.cpp - opening and closing a sefra, driven on the main dialog's
// own object (the library's code linked into this program): from the arrow
// button's click to the first file read through the new drive, and from the
// start of the release under the mount lock to the drive gone. The peer is
// the bare drive link that opening builds on, the driver's
// Our_IoCreateSymbolicLink on the same folder, read and removed the same way
// (a DefineDosDeviceA drive does not reach files under Wine).
//
// The lock is free here, so the prescribed polls (10 ms for OpenSefra, 100 ms
// for the exit path) cost nothing unless a try fails; the time spent waiting
// for the lock is measured and reported. The exit path's 10 ms watch of the
// Explorer window is not part of these figures.
#include "bench_rows.h"
#include "bench_util.h"
#include "shown_drives.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "module/app.h"
#include "res/resource.h"
#include "suite/Kestor.h"
#include "ui/sefrabox_dlg.h"
#include "volume/release_drive.h"

namespace {

constexpr double kDriveWaitMs = 5000;
const char kOpenTarget[] = "-";

bool ReadsFile(const std::string &path)
{
    CFileHandle h(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr));
    char buffer[256];
    DWORD read = 0;
    return h && ReadFile(h.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0;
}

// Polls until the file reads (true) or the wait is over.
bool WaitReadable(const std::string &path)
{
    const double end = NowMs() + kDriveWaitMs;
    while (!ReadsFile(path)) {
        if (NowMs() > end)
            return false;
        Sleep(1);
    }
    return true;
}

bool DriveGone(char letter)
{
    const char root[] = {letter, ':', '\\', '\0'};
    return !DriveExists(letter) && GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES;
}

bool WaitGone(char letter)
{
    const double end = NowMs() + kDriveWaitMs;
    while (!DriveGone(letter)) {
        if (NowMs() > end)
            return false;
        Sleep(1);
    }
    return true;
}

char FreeLetter()
{
    const DWORD used = GetLogicalDrives();
    for (char c = 'M'; c <= 'Y'; ++c) {
        const char root[] = {c, ':', '\\', '\0'};
        if (!((used >> (c - 'A')) & 1) && GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES)
            return c;
    }
    return 0;
}

struct Timings {
    std::vector<double> open, close, lockWait;
    std::string reason;
};

Timings MeasureDialog(int visits)
{
    Timings t;
    CSefraboxDlg dlg(nullptr);
    if (!dlg.Initialize(nullptr, nullptr, TRUE) || !dlg.Create() || dlg.StateForTests().m_slTarget.empty()) {
        t.reason = "the dialog could not be prepared on the demo world";
        return t;
    }
    for (int i = 0; i < visits && t.reason.empty(); ++i) {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PLATFORM1, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_PLATFORM1)));
        SetDlgItemTextA(dlg, IDC_PWD1, "main");
        // Free here, so OpenSefra's first try takes it: no 10 ms poll.
        if (g_MountVolumeLock != 0) {
            t.reason = "the mount lock was held before the click";
            break;
        }
        const double t0 = NowMs();
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ENTER1, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_ENTER1)));
        const char letter = g_szDriveLetter[0];
        if (letter < 'A' || letter > 'Z') {
            t.reason = "the drive never appeared";
            break;
        }
        if (!WaitReadable(std::string(1, letter) + ":\\readme.txt")) {
            t.reason = "readme.txt never became readable through the drive";
            break;
        }
        t.open.push_back(NowMs() - t0);
        // The opening dialog waits for the shell's word; here nobody asks.
        if (dlg.StateForTests().m_pOpenningDlg && dlg.StateForTests().m_pOpenningDlg->IsWindow())
            dlg.StateForTests().m_pOpenningDlg->EndDialog(0);
        dlg.EnableWindow(true);

        const double t2 = NowMs();
        {
            CMountVolumeLockHolder lock(kLockPollHandlerMs);
            t.lockWait.push_back(NowMs() - t2);
            ReleaseSefraDrive();
        }
        if (!WaitGone(letter)) {
            t.reason = "the drive stayed after its release";
            break;
        }
        t.close.push_back(NowMs() - t2);
    }
    dlg.DestroyWindow();
    return t;
}

Timings MeasurePeer(const std::string &folder, int visits)
{
    Timings t;
    for (int i = 0; i < visits && t.reason.empty(); ++i) {
        const char letter = FreeLetter();
        const std::string drive = std::string(1, letter) + ":";
        const std::string link = "\\DosDevices\\" + drive;
        const double t0 = NowMs();
        if (!letter || Our_IoCreateSymbolicLink(link.c_str(), folder.c_str(), 1) != 0 ||
            !WaitReadable(drive + "\\readme.txt")) {
            if (letter)
                Our_IoCreateSymbolicLink(link.c_str(), "", 0);
            t.reason = "the bare driver link gave no readable drive";
            break;
        }
        t.open.push_back(NowMs() - t0);
        const double t2 = NowMs();
        Our_IoCreateSymbolicLink(link.c_str(), "", 0);
        if (!WaitGone(letter)) {
            t.reason = "the bare driver link stayed";
            break;
        }
        t.close.push_back(NowMs() - t2);
    }
    return t;
}

} // namespace

std::vector<BenchRow> BenchOpenClose(const DemoWorld &world, int visits)
{
    if (world.folder.empty())
        return {NaRow("open sefra", kOpenTarget, "no demo world"), NaRow("close sefra", kOpenTarget, "no demo world")};
    g_hSefraboxInstance = GetModuleHandleA(nullptr);
    CConfigOverride config(world.Config());
    Progress("open/close: %d visits", visits);
    const Timings ours = MeasureDialog(visits);
    if (!ours.reason.empty())
        return {NaRow("open sefra", kOpenTarget, ours.reason), NaRow("close sefra", kOpenTarget, ours.reason)};
    const Timings peer = MeasurePeer(world.Sefra(kMainSefra), visits);
    if (!peer.reason.empty())
        return {NaRow("open sefra", kOpenTarget, peer.reason), NaRow("close sefra", kOpenTarget, peer.reason)};
    const double lockWait = Median(ours.lockWait);
    return {CostRow("open sefra", Median(ours.open), Median(peer.open), "ms", kOpenTarget,
                    Format("arrow click to readme.txt read via the drive, Explorer mode; lock free: 10 ms polls "
                           "0 ms; vs the bare driver link; median of %d",
                           visits)),
            CostRow("close sefra", Median(ours.close), Median(peer.close), "ms", kOpenTarget,
                    Format("ReleaseSefraDrive under the lock to drive gone; 100 ms polls %.1f ms (lock free); "
                           "window watch (10 ms) not included; vs the bare unlink; median of %d",
                           lockWait, visits))};
}
