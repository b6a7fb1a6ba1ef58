// initialize.cpp - CSefraboxDlg::Initialize: everything a visit needs before
// the dialog shows: the platform lists, the disk check, the store mount, its
// volume and the profile path.
#include "diagnostics/trace.h"
#include "module/shared_block.h"
#include "res/resource.h"
#include "store/profile_names.h"
#include "suite/Dravel.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "ui/sefrabox_dlg.h"
#include "win/pointers.h"
#include "win/res_string.h"

#include <cstring>
#include <memory>

namespace {

constexpr DWORD kKindMainSystem = 0;
constexpr DWORD kKindOffered = 1;
constexpr DWORD kKindDefaultStore = 2;
constexpr DWORD kMainSystemNumber = 255;
constexpr size_t kSharedPathSize = 768;

// The platform service's four parallel lists, copied out of Palmet's records.
struct PlatformLists {
    PALMET_TEXT_LIST files{};
    PALMET_TEXT_LIST names{};
    PALMET_DWORD_LIST kinds{};
    PALMET_DWORD_LIST numbers{};
};

std::string TextAt(const PALMET_TEXT_LIST &list, DWORD i)
{
    if (i >= list.count || i >= PALMET_MAX_PLATFORMS)
        return std::string();
    return std::string(list.text[i], strnlen(list.text[i], MAX_PATH));
}

DWORD ValueAt(const PALMET_DWORD_LIST &list, DWORD i)
{
    return i < list.count && i < PALMET_MAX_PLATFORMS ? list.value[i] : 0;
}

void AppendBackslash(std::string &path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
}

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
    m_hPlatformChannel = OpenPlatformChannel(QueryPlatformChannel());
    if (m_hPlatformChannel == INVALID_HANDLE_VALUE)
        return FailInitialize(ERROR_INVALID_HANDLE);
    code = PreparePlatformChannel(m_hPlatformChannel);
    if (code != ERROR_SUCCESS)
        return FailInitialize(code);

    auto lists = std::make_unique<PlatformLists>();
    InitVPFInfo(&lists->files, 1, 0, &lists->names, &lists->kinds, &lists->numbers, 3);

    // Keep the offered platforms in the service's order; the last platform
    // of the default-store kind names the store when the caller gave none.
    m_daType.clear();
    m_daIndex.clear();
    m_slSefraFile.clear();
    m_slPlatformName.clear();
    const DWORD count = lists->kinds.count < PALMET_MAX_PLATFORMS ? lists->kinds.count : PALMET_MAX_PLATFORMS;
    for (DWORD k = 0; k < count; ++k) {
        const DWORD kind = ValueAt(lists->kinds, k);
        if (kind == kKindOffered) {
            m_daType.push_back(kind);
            m_daIndex.push_back(ValueAt(lists->numbers, k));
            m_slSefraFile.push_back(TextAt(lists->files, k));
            m_slPlatformName.push_back(TextAt(lists->names, k));
        } else if (!lpSefraName && kind == kKindDefaultStore) {
            m_szSefraFile = TextAt(lists->files, k);
        }
    }

    const std::string mainSystem = LoadResString(IDS_MAIN_SYSTEM);
    m_daType.insert(m_daType.begin(), kKindMainSystem);
    m_daIndex.insert(m_daIndex.begin(), kMainSystemNumber);
    m_slSefraFile.insert(m_slSefraFile.begin(), mainSystem);
    m_slPlatformName.insert(m_slPlatformName.begin(), mainSystem);

    SB_TRACE("Sefra file name: %s", m_szSefraFile.c_str());

    if (!bSkipChkdsk) {
        code = AutoChkdsk(m_szSefraFile.c_str());
        if (code != ERROR_SUCCESS)
            return FailInitialize(code);
    }

    if (g_dwMountHandle == 0) {
        char volume[kSharedPathSize] = {};
        code = MountStoreVolume(m_szSefraFile.c_str(), &g_dwMountHandle, volume);
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
    m_hVolume = CreateFileA(volumeDevice.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
    if (m_hVolume == INVALID_HANDLE_VALUE) {
        code = GetLastError();
        SB_TRACE("CreateFile() failed! %s", GetErrorText(code).c_str());
        return FailInitialize(code);
    }

    m_szSefrabox = m_szVolumeName + kProfileFileName;
    std::memcpy(g_szVolumeName, m_szVolumeName.c_str(), m_szVolumeName.size() + 1);
    std::memcpy(g_szMountDeviceName, m_szMountDeviceName.c_str(), m_szMountDeviceName.size() + 1);
    return TRUE;
}

BOOL CSefraboxDlg::FailInitialize(DWORD code)
{
    SB_TRACE("CSefraboxDlg::Initialize() failed! %s", GetErrorText(code).c_str());
    ReleaseStoreAndChannel();
    return FALSE;
}

void CSefraboxDlg::ReleaseStoreAndChannel()
{
    if (g_dwMountHandle != 0) {
        UnMount_Volume(255, g_dwMountHandle);
        g_dwMountHandle = 0;
    }
    Dravel_Cleanup();
    if (m_hPlatformChannel != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hPlatformChannel);
        m_hPlatformChannel = INVALID_HANDLE_VALUE;
    }
}
