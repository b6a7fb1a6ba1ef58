// open_copy_mode.cpp - OpenSefra's copy mode: the sefra folder on a
// temporary drive, the platform's own disk mounted beside it, and the copy
// dialog between the platform's drives and the sefra.
#include "Sefrabox.h"
#include "diagnostics/trace.h"
#include "machine/system_family.h"
#include "store/ansi_lead_byte.h"
#include "store/mbcs_text.h"
#include "suite/Rundle.h"
#include "ui/sefrabox_dlg.h"
#include "volume/drive_link.h"
#include "volume/held_mounts.h"
#include "win/pointers.h"
#include "win/res_string.h"

#include <windows.h>
#include <shlobj.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kTargetTextBytes = 512;
constexpr unsigned long kMaxTargets = 27;

void ShowText(HWND owner, const std::string &text) { MessageBoxText(owner, text, MB_OK); }

// printf into a string; the format is one of our own texts.
template <typename... Args> std::string Format(const char *format, Args... args)
{
    char text[1024];
    snprintf(text, sizeof text, format, args...);
    return text;
}

} // namespace

void CSefraboxDlg::OpenInCopyMode(const char *driveText, const std::string &target, size_t index)
{
    ShowOpeningDialog();
    CHeldDrive drive;
    const DWORD rc = drive.Link(driveText, m_szVolumeName, m_szMountDeviceName, target, 0, false);
    if (rc != 0) {
        if (g_bXpFamily != 1) {
            const std::string error = GetErrorText(rc);
            SB_TRACE_FAILED(rc, "Our_IoCreateSymbolicLink()");
            ShowText(m_hWnd, Format("Our_IoCreateSymbolicLink(%s, %s) failed! %s", DriverLinkName(driveText).c_str(),
                                    (m_szMountDeviceName + target).c_str(), error.c_str()));
        }
    } else {
        m_szDrivePath = DrivePathOf(driveText);
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_PATHA, m_szDrivePath.c_str(), nullptr);
        SHChangeNotify(SHCNE_INTERRUPT | SHCNE_DRIVEADD, SHCNF_PATHA, m_szDrivePath.c_str(), nullptr);
        RunCopyDialog(driveText, index);
        // Also when the targets or the platform disk could not be had: a
        // temporary drive must not outlive the copy mode.
        drive.Unlink();
    }
    // The opening dialog disabled the main dialog; nothing else would enable
    // it again in this mode.
    if (m_pOpenningDlg && m_pOpenningDlg->IsWindow())
        m_pOpenningDlg->EndDialog(0);
    EnableWindow(true);
}

void CSefraboxDlg::RunCopyDialog(const char *driveText, size_t index)
{
    const std::string platformFile = index < m_slSefraFile.size() ? m_slSefraFile[index] : std::string();
    const bool managementPlatform = m_nSelButton == IDC_PLATFORM1;
    FILE_OPERATION op = {};
    char pathBuf[kTargetTextBytes] = {}, nameBuf[kTargetTextBytes] = {};
    char platformDrive[10] = {};
    CHeldDisk platformDisk;

    int rc = GetDriveTargets(managementPlatform ? nullptr : platformFile.c_str(), &op, pathBuf, sizeof pathBuf, nameBuf,
                             sizeof nameBuf, m_bNoPlatformService, 7, 1);
    if (rc != 0) {
        ShowText(m_hWnd, Format("MakeMountInfoByFileName() Error, %s", GetErrorText(rc).c_str()));
        return;
    }
    if (managementPlatform) {
        snprintf(platformDrive, sizeof platformDrive, "Z:");
    } else {
        SB_TRACE("Before Dravel_MountDriverByFileName()");
        const DWORD mounted = platformDisk.Mount(platformFile.c_str(), platformDrive);
        if (mounted != 0) {
            ShowText(m_hWnd, FormatResString(IDS_OPEN_FAILED_FMT, platformFile.c_str(), GetErrorText(mounted).c_str()));
            return;
        }
        SB_TRACE("After Dravel_MountDriverByFileName()");
    }

    // The record is packed; its arrays are copied out before use.
    const char *paths[kMaxTargets] = {}, *names[kMaxTargets] = {};
    unsigned char writable[kMaxTargets] = {};
    std::memcpy(paths, reinterpret_cast<const char *>(&op) + offsetof(FILE_OPERATION, lpTargetPath), sizeof paths);
    std::memcpy(names, reinterpret_cast<const char *>(&op) + offsetof(FILE_OPERATION, lpTargetName), sizeof names);
    std::memcpy(writable, op.uchTargetWritable, sizeof writable);
    unsigned long count = op.dwTargetCount < kMaxTargets ? op.dwTargetCount : kMaxTargets;
    if (count > 0 && IsReadableText(paths[count - 1], kTargetTextBytes) &&
        MbsICompare(paths[count - 1], "Z:", IsAnsiLeadByte) == 0)
        --count;
    const std::string title = LoadResString(IDS_COPY_TITLE);
    const std::string label = platformFile + LoadResString(IDS_DRIVE_C_SUFFIX);
    if (platformDrive[0] != '\0' && count < kMaxTargets) {
        paths[count] = platformDrive;
        names[count] = label.c_str();
        writable[count] = 1;
        ++count;
    }

    if (m_pOpenningDlg && m_pOpenningDlg->IsWindow())
        m_pOpenningDlg->EndDialog(0);
    SB_TRACE("Before copy_file_dialog()");
    copy_file_dialog(driveText[0], 1, m_szSefraName.c_str(), count, paths, writable, names, title.c_str());

    if (platformDisk.Mounted()) {
        SB_TRACE("Before UnMount_Volume(%C, 0x%08X)", platformDrive[0], static_cast<unsigned>(platformDisk.Handle()));
        platformDisk.Unmount();
        SB_TRACE("After UnMount_Volume()");
    }
}
