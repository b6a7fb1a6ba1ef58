// open_sefra.cpp - CSefraboxDlg::OpenSefra: the password check and the drive
// letter that makes the selected sefra's folder appear as a drive.
#include "diagnostics/trace.h"
#include "machine/held_records.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "machine/system_family.h"
#include "store/password_dialogs.h"
#include "store/target_check.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "volume/drive_label.h"
#include "volume/drive_link.h"
#include "volume/release_drive.h"
#include "win/paths.h"
#include "win/res_string.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

template <size_t N> void CopyText(char (&dst)[N], const char *src) { snprintf(dst, N, "%s", src); }

} // namespace

void CSefraboxDlg::OpenSefra()
{
    if (m_nSelButton == 0)
        return;
    SB_TRACE("OpenSefra() entry...");
    const size_t index = static_cast<size_t>(m_nSelButton - IDC_PLATFORM1);
    const int pwdEdit = PasswordEditOf(m_nSelButton);
    const std::string target = index < m_slTarget.size() ? m_slTarget[index] : std::string();
    const std::string typed = GetWindowTextOf(GetDlgItem(pwdEdit));

    CMountVolumeLockHolder lock(kLockPollEntryMs);
    SB_TRACE("CSefraboxDlg::OpenSefra() gained g_MountVolumeLock");

    char stored[128] = {};
    char driveText[10] = {};
    if (ReadSefraPassword(stored, sizeof stored) < 0) {
        MessageBoxById(m_hWnd, IDS_OPEN_SEFRA_FAILED, MB_ICONSTOP);
    } else if (!SamePassword(typed.c_str(), stored)) {
        MessageBoxById(m_hWnd, IDS_WRONG_PASSWORD, MB_ICONHAND);
    } else if (!target.empty() && IsUsableTarget(target.c_str()) && index < m_slSefraName.size() &&
               AllocDriveLetter(driveText)) {
        const std::string folder = JoinPath(m_szVolumeName, target);
        if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
            m_szSefraName = m_slSefraName[index];
            if (m_pnResult) {
                OpenInCopyMode(driveText, target, index);
            } else {
                OpenInExplorerMode(driveText, target);
            }
        }
    }

    lock.Release();
    ::SetWindowTextA(GetDlgItem(pwdEdit), "");
    SB_TRACE("CSefraboxDlg::OpenSefra() return soon");
}

// Explorer mode: the drive stays linked to the folder until the sefra is
// closed. At most one such drive exists on the machine: the test below runs
// under g_MountVolumeLock and g_szDriveLetter is shared by every process.
void CSefraboxDlg::OpenInExplorerMode(const char *driveText, const std::string &target)
{
    if (IsDriveLetter(g_szDriveLetter[0]))
        return;
    m_szSefraFolder = WithSeparator(JoinPath(m_szVolumeName, target));
    // Recorded before anything is made, so that the drive and its label go
    // also when this process dies with the sefra open.
    RecordSefraDrive(driveText[0], m_szVolumeName, m_szMountDeviceName, target);
    SetDriveLabel(driveText[0], m_szSefraName.c_str(), DriveLabelMode::Write);
    if (g_bXpFamily == 1) {
        // Without DDD_NO_BROADCAST_SYSTEM the system announces the new drive.
        if (LinkDrive(driveText, m_szVolumeName, m_szMountDeviceName, target, 0) != 0) {
            SetDriveLabel(driveText[0], nullptr, DriveLabelMode::Remove);
            ForgetHeldLink(driveText[0]);
            return;
        }
        CopyText(g_szDriveLetter, driveText);
        m_szDrivePath = DrivePathOf(driveText);
        ShowOpeningDialog();
        AwaitSefraDrive();
        CopyText(g_szDriveLetter, driveText);
        return;
    }
    m_szDrivePath = DrivePathOf(driveText);
    ShowOpeningDialog();
    AwaitSefraDrive();
    const DWORD rc = LinkDrive(driveText, m_szVolumeName, m_szMountDeviceName, target, 0);
    if (rc != 0)
        SB_TRACE_FAILED(rc, "Our_IoCreateSymbolicLink(%s, %s)", DriverLinkName(driveText).c_str(),
                        JoinPath(m_szMountDeviceName, target).c_str());
    SHChangeNotify(SHCNE_DRIVEADD, SHCNF_PATHA, m_szDrivePath.c_str(), nullptr);
    SHChangeNotify(SHCNE_DRIVEADDGUI, SHCNF_PATHA, m_szDrivePath.c_str(), nullptr);
    CopyText(g_szDriveLetter, driveText);
}
