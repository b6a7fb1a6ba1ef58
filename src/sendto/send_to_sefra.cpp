// send_to_sefra.cpp - CSefraboxDlg::SendToSefra: the files of one Send To
// request copied into a sefra through a temporary drive letter.
//
// Runs on a dialog object that is never shown, with g_MountVolumeLock held by
// the caller for the whole call (password dialog and copy included). The
// store is left as it was found: mounted here, unmounted here.
#include "diagnostics/trace.h"
#include "machine/shared_block.h"
#include "machine/system_family.h"
#include "res/resource.h"
#include "sendto/sendto_text.h"
#include "store/ansi_lead_byte.h"
#include "store/password_dialogs.h"
#include "store/platform_lists.h"
#include "store/profile_records.h"
#include "store/target_check.h"
#include "suite/Dravel.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "volume/held_mounts.h"
#include "win/handles.h"
#include "win/paths.h"
#include "win/pointers.h"
#include "win/res_string.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr size_t kDisplayNameBytes = 32;
constexpr size_t kDriveBytes = 10;

// A caller's text, probed over at most kMaxTextProbe bytes: readable up to
// its terminator or over the whole probe.
bool IsReadableArgument(const char *p)
{
    return IsReadableText(p, kMaxTextProbe) || IsReadableBlock(p, kMaxTextProbe + 1);
}

std::string WithBackslash(const char *path)
{
    return WithSeparator(std::string(path, strnlen(path, sizeof g_szVolumeName - 1)));
}

} // namespace

int CSefraboxDlg::SendToSefra(const char *lpSefraName, const char *lpSrcPath)
{
    if (!IsReadableArgument(lpSefraName) || !IsReadableArgument(lpSrcPath))
        return ERROR_INVALID_PARAMETER;
    SB_TRACE("lpSrcPath:%s", lpSrcPath);

    bool mountedHere = false;
    if (g_szVolumeName[0] == '\0') {
        if (!Initialize(nullptr, nullptr, TRUE)) {
            SB_TRACE("Initialize() into SendToSefra() failed!");
            MessageBoxById(::GetDesktopWindow(), IDS_OPEN_SEFRA_FAILED, MB_ICONSTOP);
            return 0;
        }
        mountedHere = true;
        SB_TRACE("Initialize()");
    } else if (!ReadPlatformLists()) {
        return 0;
    }

    CopyIntoSefra(lpSefraName, lpSrcPath);

    if (mountedHere) {
        m_hVolume.Reset();
        UnMountSefraVolume();
    }
    return 0;
}

// The platform lists of a store that another process has mounted, read from
// the platform service without mounting anything.
bool CSefraboxDlg::ReadPlatformLists()
{
    // The library's failure value is INVALID_HANDLE_VALUE: nothing more is
    // asked of the service then, and nothing is traced.
    CFileHandle channel(OpenPlatformChannel(QueryPlatformChannel()));
    if (!channel)
        return false;
    PreparePlatformChannel(channel.Get());
    PlatformRows rows;
    const DWORD status = ReadPlatformRows(rows);
    Dravel_Cleanup();
    channel.Reset();
    if (status != 0) {
        SB_TRACE_FAILED(status, "InitVPFInfo");
        return false;
    }
    if (!rows.numbers.empty())
        InsertMainSystemRow(rows);
    TakePlatformRows(std::move(rows));
    SB_TRACE("InitVPFInfo()");
    return true;
}

// Finds the sefra, asks for its password, links a temporary drive to its
// folder, copies and unlinks. Every failure only ends the copy.
void CSefraboxDlg::CopyIntoSefra(const char *lpSefraName, const char *lpSrcPath)
{
    const std::string volume = WithBackslash(g_szVolumeName);
    const std::string profile = volume + kProfileFileName;
    SB_TRACE("g_szVolumeName:%s", g_szVolumeName);
    SB_TRACE("szSefraFileINI:%s", profile.c_str());

    const DWORD wanted = std::strtoul(lpSefraName, nullptr, 10);
    ProfileRecord found;
    const DWORD read =
        ForEachProfileRecord(profile, RecordFields::All, kUntilUnreadable, [&](const ProfileRecord &record) {
            SB_TRACE("dwID = %d, dwIndex = %d, szTarget:%s", record.id, static_cast<int>(record.number), record.target);
            if (!record.NamesSefra() || static_cast<DWORD>(record.id) != wanted)
                return true;
            found = record;
            return false;
        });
    if (read != ERROR_SUCCESS) {
        SB_TRACE("Invalid data of %s", kProfileFileName);
        return;
    }
    const int id = found.id;
    const char *target = found.target;
    const char *password = found.password;

    size_t nIndex = 0;
    for (; nIndex < m_daIndex.size(); ++nIndex) {
        SB_TRACE("nIndex:%d, m_daIndex[nIndex]:%d", static_cast<int>(nIndex), static_cast<int>(m_daIndex[nIndex]));
        if (m_daIndex[nIndex] == static_cast<DWORD>(id))
            break;
    }
    if (nIndex >= m_daIndex.size()) {
        SB_TRACE("nIndex >= m_daIndex.GetSize()");
        return;
    }
    SB_TRACE("nIndex = %d", static_cast<int>(nIndex));
    if (nIndex >= m_slPlatformName.size()) {
        SB_TRACE("NULL == pos");
        return;
    }
    if (m_slPlatformName[nIndex].empty()) {
        SB_TRACE("szName.IsEmpty()");
        return;
    }
    char szName[kDisplayNameBytes] = {};
    MakeSefraDisplayName(m_slPlatformName[nIndex].c_str(), LoadResString(IDS_MODULE_TITLE).c_str(), szName,
                         sizeof szName, IsAnsiLeadByte);

    if (password[0] != '\0') {
        CChkPwd dlg(::GetDesktopWindow());
        dlg.SetInfo(password, szName);
        if (dlg.DoModal() != IDOK)
            return;
    }

    // A Target that is not a plain folder name would copy outside the store.
    if (!IsUsableTarget(target))
        return;
    const std::string folder = JoinPath(volume, target);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        SB_TRACE("CreateDirectory() failed. %s", GetErrorText(GetLastError()).c_str());
        return;
    }

    char drive[kDriveBytes] = {};
    if (!AllocDriveLetter(drive))
        return;
    drive[sizeof drive - 1] = '\0';
    // No broadcast: the drive lives only for this copy. It is recorded:
    // should this process die during the copy, whoever comes next removes it.
    CHeldDrive copyDrive;
    const DWORD rc =
        copyDrive.Link(drive, volume, WithBackslash(g_szMountDeviceName), target, DDD_NO_BROADCAST_SYSTEM, true);
    if (rc != 0) {
        if (g_bXpFamily == 1)
            return;
        SB_TRACE_FAILED(rc, "Our_IoCreateSymbolicLink()");
    }

    char progressTitle[256] = {};
    snprintf(progressTitle, sizeof progressTitle, LoadResString(IDS_SENDING_FMT).c_str(), szName);
    SHFILEOPSTRUCTA op{};
    op.hwnd = ::GetDesktopWindow();
    op.wFunc = FO_COPY;
    op.pFrom = lpSrcPath;
    // The zero-filled buffer ends the drive text with the second NUL.
    op.pTo = drive;
    op.fFlags = FOF_SIMPLEPROGRESS;
    op.lpszProgressTitle = progressTitle;
    // A copy the user cancelled part-way also returns 0.
    if (SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted) {
        char sent[512] = {};
        snprintf(sent, sizeof sent, LoadResString(IDS_SENT_FMT).c_str(), szName);
        MessageBoxA(::GetDesktopWindow(), sent, szName, MB_ICONINFORMATION);
    }

    copyDrive.Unlink();
}
