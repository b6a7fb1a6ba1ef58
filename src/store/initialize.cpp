// initialize.cpp - CSefraboxDlg::Initialize: everything a visit needs before
// the dialog shows: the platform lists, the disk check, the store mount, its
// volume and the profile path.
#include "diagnostics/trace.h"
#include "machine/shared_block.h"
#include "store/platform_lists.h"
#include "store/profile_names.h"
#include "store/store_mount.h"
#include "suite/Dravel.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "win/paths.h"
#include "win/pointers.h"

#include <cstring>
#include <utility>

namespace {

constexpr size_t kSharedPathSize = 768;

void AppendBackslash(std::string &path) { path = WithSeparator(path); }

} // namespace

BOOL CSefraboxDlg::Initialize(const char *lpSefraName, int *pnResult, BOOL bSkipChkdsk)
{
    if (lpSefraName && !IsReadableText(lpSefraName, kMaxTextProbe))
        return FALSE;
    if (IsWritableBlock(pnResult, sizeof *pnResult))
        m_pnResult = pnResult;
    if (lpSefraName)
        m_szSefraFile = lpSefraName;

    m_bNoPlatformService = GetPlatformServiceState() == 0 ? 1 : 0;

    DWORD code = ERROR_SUCCESS;
    m_hPlatformChannel.Reset(OpenPlatformChannel(QueryPlatformChannel()));
    if (m_hPlatformChannel.Get() == INVALID_HANDLE_VALUE)
        return FailInitialize(ERROR_INVALID_HANDLE);
    code = PreparePlatformChannel(m_hPlatformChannel.Get());
    if (code != ERROR_SUCCESS)
        return FailInitialize(code);

    // What the service listed is offered whatever its result; the result is
    // kept so that the sefra list does not take a platform missing from a
    // failed listing for one that is gone.
    PlatformRows rows;
    m_dwPlatformListStatus = ReadPlatformRows(rows);
    if (!lpSefraName && rows.hasDefaultStore)
        m_szSefraFile = rows.defaultStore;
    InsertMainSystemRow(rows);
    TakePlatformRows(std::move(rows));

    SB_TRACE("Sefra file name: %s", m_szSefraFile.c_str());

    if (!bSkipChkdsk) {
        code = AutoChkdsk(m_szSefraFile.c_str());
        if (code != ERROR_SUCCESS)
            return FailInitialize(code);
    }

    if (g_dwMountHandle == 0) {
        char volume[kSharedPathSize] = {};
        code = MountStore(m_szSefraFile.c_str(), volume);
        volume[sizeof volume - 1] = '\0';
        m_szVolumeName = volume;
        SB_TRACE("m_szVolumeName: %s; %s", volume, GetErrorText(code).c_str());
        if (code != ERROR_SUCCESS)
            return FailInitialize(code);
    }

    char device[kSharedPathSize] = {};
    code = MakeMountInfoByFileName(g_dwMountHandle, device);
    device[sizeof device - 1] = '\0';
    m_szMountDeviceName = device;
    SB_TRACE("m_szMountDeviceName: %s; %s", device, GetErrorText(code).c_str());
    if (code != ERROR_SUCCESS)
        return FailInitialize(code);

    if (m_szVolumeName.empty() || m_szMountDeviceName.empty())
        return FailInitialize(ERROR_INVALID_NAME);
    AppendBackslash(m_szVolumeName);
    AppendBackslash(m_szMountDeviceName);
    // Both go into 768-byte fields of the shared block with their terminator.
    if (m_szVolumeName.size() >= kSharedPathSize || m_szMountDeviceName.size() >= kSharedPathSize)
        return FailInitialize(ERROR_BUFFER_OVERFLOW);

    const std::string volumeDevice = m_szVolumeName.substr(0, m_szVolumeName.size() - 1);
    m_hVolume.Reset(CreateFileA(volumeDevice.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    if (!m_hVolume) {
        code = GetLastError();
        SB_TRACE_FAILED(code, "CreateFile()");
        return FailInitialize(code);
    }

    m_szSefrabox = m_szVolumeName + kProfileFileName;
    std::memcpy(g_szVolumeName, m_szVolumeName.c_str(), m_szVolumeName.size() + 1);
    std::memcpy(g_szMountDeviceName, m_szMountDeviceName.c_str(), m_szMountDeviceName.size() + 1);
    m_bOwnsVisit = true;
    return TRUE;
}

BOOL CSefraboxDlg::FailInitialize(DWORD code)
{
    SB_TRACE_FAILED(code, "CSefraboxDlg::Initialize()");
    ReleaseStoreAndChannel();
    return FALSE;
}

void CSefraboxDlg::TakePlatformRows(PlatformRows &&rows)
{
    m_daType = std::move(rows.kinds);
    m_daIndex = std::move(rows.numbers);
    m_slSefraFile = std::move(rows.files);
    m_slPlatformName = std::move(rows.names);
}
