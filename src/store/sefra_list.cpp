// sefra_list.cpp - CSefraboxDlg::LoadSefraList: one platform button per sefra
// of the profile; the sefras of platforms that are gone are wiped.
#include "diagnostics/trace.h"
#include "res/resource.h"
#include "store/ansi_lead_byte.h"
#include "store/mbcs_text.h"
#include "store/profile_names.h"
#include "store/target_check.h"
#include "store/wipe_sefra.h"
#include "suite/Palmet.h"
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
    for (DWORD record = 1; record <= kDialogRecordCount; ++record) {
        int id = -1;
        char target[kTargetSize] = {};
        char password[kPasswordSize] = {};
        if (GetProfileParameter(record, m_szSefrabox.c_str(), kSchemaRecord, &id, target, password) != ERROR_SUCCESS)
            continue;
        target[sizeof target - 1] = '\0';
        if (id == -1 || target[0] == '\0')
            continue;
        // A Target that leads anywhere but a folder in the volume root is
        // neither shown nor wiped.
        if (!IsUsableTarget(target))
            continue;

        const auto found = std::find(m_daIndex.begin(), m_daIndex.end(), static_cast<DWORD>(id));
        if (found == m_daIndex.end()) {
            SB_TRACE("nIndex >= m_daIndex.GetSize()");
            WipeSefra(record, m_szSefrabox, m_szVolumeName, target);
            continue;
        }

        const size_t j = static_cast<size_t>(found - m_daIndex.begin());
        if (j >= m_slPlatformName.size()) {
            SB_TRACE("FindIndex() failed!");
            continue;
        }
        std::string name = m_slPlatformName[j];
        if (name.empty()) {
            SB_TRACE("IsEmpty()!");
            continue;
        }
        if (!MbsContains(name.c_str(), suffix.c_str(), IsAnsiLeadByte))
            name += suffix;

        m_slSefraName.push_back(name);
        m_slTarget.push_back(target);
        m_daRecord.push_back(record);
        SetDlgItemTextA(m_hWnd, nextButton, name.c_str());
        ::ShowWindow(GetDlgItem(nextButton), SW_SHOW);
        ++nextButton;
    }
}
