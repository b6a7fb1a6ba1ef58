// auto_chkdsk.cpp - CSefraboxDlg::AutoChkdsk and DeletePrefixedEntries: a
// store volume marked dirty is checked under a drive letter before use, and
// what the check leaves in the drive's root is removed.
#include "diagnostics/trace.h"
#include "machine/shared_block.h"
#include "res/resource.h"
#include "store/ansi_lead_byte.h"
#include "store/mbcs_text.h"
#include "store/profile_records.h"
#include "store/store_mount.h"
#include "store/target_check.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "ui/progress_dlgs.h"
#include "ui/sefrabox_dlg.h"
#include "volume/held_mounts.h"
#include "win/handles.h"
#include "win/links.h"
#include "win/paths.h"
#include "win/pointers.h"
#include "win/res_string.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kBootBlockSize = 512;
constexpr size_t kDirtyByte = 0x41;
constexpr char kDebugKey[] = "Software\\Brannick";
constexpr char kDebugValue[] = "DebugSefra";
constexpr char kChkdskSwitches[] = "/x /f";

// Reads the debug word; the key stays open until the check ends.
DWORD ReadDebugSwitch(CRegKey &key)
{
    DWORD debug = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDebugKey, 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS) {
        DWORD size = sizeof debug;
        if (RegQueryValueExA(key.Get(), kDebugValue, nullptr, nullptr, reinterpret_cast<BYTE *>(&debug), &size) !=
            ERROR_SUCCESS)
            debug = 0;
    }
    return debug;
}

void ShowCheckingWindow(CCheckingDlg &dlg)
{
    if (!dlg.Create())
        return;
    dlg.ShowWindow(SW_SHOW);
    dlg.CenterWindow(GetDesktopWindow());
    SetWindowPos(dlg, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(dlg);
}

} // namespace

DWORD CSefraboxDlg::AutoChkdsk(const char *lpSefraFile)
{
    CCheckingDlg checking(GetDesktopWindow());
    SB_TRACE("AutoChkdsk entry...");
    if (!IsReadableText(lpSefraFile, kMaxTextProbe))
        return ERROR_SUCCESS;

    DWORD result = ERROR_SUCCESS;
    char driveText[10] = {};
    CHeldDisk checkDisk;
    CFileHandle volume;
    CRegKey debugKey;

    do {
        char volumePath[768] = {};
        result = MountStore(m_szSefraFile.c_str(), volumePath);
        volumePath[sizeof volumePath - 1] = '\0';
        m_szVolumeName = volumePath;
        SB_TRACE("m_szVolumeName: %s; %s", volumePath, GetErrorText(result).c_str());
        if (result != ERROR_SUCCESS)
            break;

        volume.Reset(CreateFileA(m_szVolumeName.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!volume) {
            result = GetLastError();
            SB_TRACE_FAILED(result, "CreateFile(%s)", m_szVolumeName.c_str());
            break;
        }

        BYTE boot[kBootBlockSize] = {};
        DWORD read = 0;
        if (!ReadFile(volume.Get(), boot, sizeof boot, &read, nullptr)) {
            result = GetLastError();
            SB_TRACE_FAILED(result, "ReadFile()");
            break;
        }
        if (boot[kDirtyByte] == 0) {
            SB_TRACE("Not need chkdsk sefra!");
            result = ERROR_SUCCESS;
            break;
        }

        UnmountStore();
        result = checkDisk.Mount(lpSefraFile, driveText);
        if (result != ERROR_SUCCESS) {
            SB_TRACE_FAILED(result, "Dravel_MountDriverByFileName(%s)", lpSefraFile);
            break;
        }

        ShowCheckingWindow(checking);

        const DWORD debug = ReadDebugSwitch(debugKey);
        if (debug != 0) {
            char text[64] = {};
            std::snprintf(text, sizeof text, "Mount successful with driver %s", driveText);
            MessageBoxA(nullptr, text, LoadResString(IDS_MODULE_TITLE).c_str(), MB_OK);
        }
        DWORD mode = 3;
        result = RunChkdsk(driveText, &mode, kChkdskSwitches, 0, debug);
        // The check's leftovers go; a sefra whose name begins the same stays.
        std::vector<std::string> sefras;
        for (const ProfileRecord &record : ReadSefraRecords(JoinPath(driveText, kProfileFileName)))
            if (IsUsableTarget(record.target))
                sefras.push_back(record.target);
        DeletePrefixedEntries(driveText, "FOUND", sefras);
        DeletePrefixedEntries(driveText, "FILE", sefras);
    } while (false);

    checking.EndDialog(0);
    volume.Reset();

    if (checkDisk.Mounted()) {
        SB_TRACE("before UnMount_Volume()");
        checkDisk.Unmount();
        SB_TRACE("after UnMount_Volume()");
    }
    SB_TRACE("AutoChkdsk soon return.");
    return result;
}

void CSefraboxDlg::DeletePrefixedEntries(const char *lpFolder, const char *lpPrefix,
                                         const std::vector<std::string> &spared)
{
    if (!IsReadableText(lpFolder, kMaxTextProbe))
        return;
    if (!IsReadableText(lpPrefix, kMaxTextProbe))
        lpPrefix = nullptr;

    const std::string folder = WithSeparator(lpFolder);
    const size_t prefixLen = lpPrefix ? std::strlen(lpPrefix) : 0;
    const CFolderFiles files(folder);

    WIN32_FIND_DATAA fd{};
    CFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &fd));
    if (!find)
        return;
    do {
        if (std::strcmp(fd.cFileName, ".") == 0 || std::strcmp(fd.cFileName, "..") == 0)
            continue;
        // Case-sensitive: FILE0000.CHK goes, file-list.txt stays.
        if (lpPrefix && !MbsStartsWith(fd.cFileName, lpPrefix, prefixLen, IsAnsiLeadByte))
            continue;
        const auto isSpared = [&fd](const std::string &name) { return IsSameFolderName(fd.cFileName, name.c_str()); };
        if (std::any_of(spared.begin(), spared.end(), isSpared)) {
            SB_TRACE("%s is a sefra, kept", fd.cFileName);
            continue;
        }
        const std::string entry = folder + fd.cFileName;
        const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (IsLinkEntry(fd.dwFileAttributes)) {
            // Only the link goes, never what it leads to.
            const DWORD removed = RemoveLinkItself(entry, isFolder);
            if (removed != ERROR_SUCCESS)
                SB_TRACE_FAILED(removed, "%s(%s)", isFolder ? "RemoveDirectory" : "DeleteFile", entry.c_str());
        } else if (isFolder) {
            DeletePrefixedEntries(entry.c_str(), nullptr);
            if (!RemoveDirectoryA(entry.c_str()))
                SB_TRACE_LAST_ERROR("RemoveDirectory(%s)", entry.c_str());
        } else if (const DWORD deleted = files.Delete(fd.cFileName)) {
            SB_TRACE_FAILED(deleted, "DeleteFile(%s)", entry.c_str());
        }
    } while (FindNextFileA(find.Get(), &fd));
}
