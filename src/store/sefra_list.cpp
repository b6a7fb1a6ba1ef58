// sefra_list.cpp - CSefraboxDlg::LoadSefraList: one platform button per sefra
// of the profile; the sefras of platforms that are gone are wiped, but only
// when the platform service could list its platforms.
#include "diagnostics/trace.h"
#include "res/resource.h"
#include "store/ansi_lead_byte.h"
#include "store/mbcs_text.h"
#include "store/profile_records.h"
#include "store/target_check.h"
#include "store/wipe_sefra.h"
#include "ui/sefrabox_dlg.h"
#include "win/res_string.h"

#include <algorithm>

void CSefraboxDlg::LoadSefraList()
{
    m_slSefraName.clear();
    m_slTarget.clear();
    SB_TRACE("m_szSefrabox: %s", m_szSefrabox.c_str());

    const std::string suffix = LoadResString(IDS_MODULE_TITLE);
    int nextButton = IDC_PLATFORM1;
    ForEachProfileRecord(m_szSefrabox, RecordFields::All, kDialogRecordCount, [&](const ProfileRecord &record) {
        // A Target that leads anywhere but a folder in the volume root is
        // neither shown nor wiped.
        if (!record.NamesSefra() || !IsUsableTarget(record.target))
            return true;

        const auto found = std::find(m_daIndex.begin(), m_daIndex.end(), static_cast<DWORD>(record.id));
        if (found == m_daIndex.end()) {
            // The service could not list its platforms: this one may well be
            // installed, and its sefra holds the user's files.
            if (m_dwPlatformListStatus != ERROR_SUCCESS) {
                SB_TRACE("InitVPFInfo failed, sefra kept: %d", record.id);
                return true;
            }
            SB_TRACE("nIndex >= m_daIndex.GetSize()");
            // A sefra of an installed platform, the main system's included,
            // keeps a folder that this stale record names as well.
            WipeSefra(record.number, m_szSefrabox, m_szVolumeName, record.target, [this](const ProfileRecord &other) {
                return std::find(m_daIndex.begin(), m_daIndex.end(), static_cast<DWORD>(other.id)) != m_daIndex.end();
            });
            return true;
        }

        const size_t j = static_cast<size_t>(found - m_daIndex.begin());
        if (j >= m_slPlatformName.size()) {
            SB_TRACE("FindIndex() failed!");
            return true;
        }
        std::string name = m_slPlatformName[j];
        if (name.empty()) {
            SB_TRACE("IsEmpty()!");
            return true;
        }
        if (!MbsContains(name.c_str(), suffix.c_str(), IsAnsiLeadByte))
            name += suffix;

        m_slSefraName.push_back(name);
        m_slTarget.push_back(record.target);
        m_daRecord.push_back(record.number);
        SetDlgItemTextA(m_hWnd, nextButton, name.c_str());
        ::ShowWindow(GetDlgItem(nextButton), SW_SHOW);
        ++nextButton;
        return true;
    });
}
