// copy_window.h - CCopyDialog, the modal copy dialog between one
// destination drive and the target drives.
//
// The user picks a target drive; the dialog lists the target's root folder
// and the destination's root folder. "Copy in" copies the selected target
// entries into the destination root (destination writable), "Copy out" the
// selected destination entries into the target root (target writable).
// Buttons that do not apply are disabled, and their commands are ignored.
#pragma once

#include "copy_files.h"
#include "copy_request.h"

#include <windows.h>

#include <string>
#include <vector>

namespace rundle {

class CCopyDialog {
public:
    explicit CCopyDialog(const CopyRequest &request) : m_request(request) {}
    CCopyDialog(const CCopyDialog &) = delete;
    CCopyDialog &operator=(const CCopyDialog &) = delete;

    // Shows the dialog from module's template, without an owner; returns
    // when it is closed. 0, or the system's error when it cannot be shown.
    DWORD Run(HINSTANCE module);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int code);

    void SelectTarget(int index);
    void FillFileList(int listId, const std::string &folder, std::vector<FolderEntry> &entries);
    void Refresh();
    void UpdateButtons();
    std::vector<std::string> SelectedNames(int listId, const std::vector<FolderEntry> &entries) const;
    void Copy(bool in);
    void SetText(int id, const std::string &text) { SetDlgItemTextA(m_hwnd, id, text.c_str()); }

    const CopyRequest &m_request;
    HWND m_hwnd = nullptr;
    int m_nTarget = -1;
    std::vector<FolderEntry> m_targetFiles;
    std::vector<FolderEntry> m_destFiles;
};

} // namespace rundle
