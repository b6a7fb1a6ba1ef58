// copy_window.cpp - CCopyDialog.
#include "copy_window.h"

#include "copy_dialog_ids.h"

#include <cstdio>

namespace rundle {

namespace {

std::string AccessText(bool writable) { return writable ? "  [writable]" : "  [read-only]"; }

std::string DestRoot(char letter) { return std::string(1, letter) + ":\\"; }

} // namespace

DWORD CCopyDialog::Run(HINSTANCE module)
{
    const INT_PTR result =
        DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_COPY_FILES), nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
    if (result == -1)
        return GetLastError() ? GetLastError() : ERROR_INVALID_HANDLE;
    return 0;
}

INT_PTR CALLBACK CCopyDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<CCopyDialog *>(GetWindowLongPtrA(hwnd, DWLP_USER));
    // No exception may cross the system's callback; a failed step leaves
    // the dialog as it was.
    try {
        switch (msg) {
        case WM_INITDIALOG:
            self = reinterpret_cast<CCopyDialog *>(lParam);
            SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
            self->m_hwnd = hwnd;
            self->OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            if (!self)
                return FALSE;
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

void CCopyDialog::OnInitDialog()
{
    if (!m_request.title.empty())
        SetWindowTextA(m_hwnd, m_request.title.c_str());
    SetText(IDC_DEST_LABEL,
            std::string(1, m_request.destDrive) + ":  " + m_request.destName + AccessText(m_request.destWritable));
    const HWND targets = GetDlgItem(m_hwnd, IDC_TARGETS);
    for (const auto &target : m_request.targets) {
        std::string line = target.path;
        if (target.name != target.path)
            line += "  " + target.name;
        line += AccessText(target.writable);
        SendMessageA(targets, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SelectTarget(m_request.targets.empty() ? -1 : 0);
    FillFileList(IDC_DEST_FILES, DestRoot(m_request.destDrive), m_destFiles);
    UpdateButtons();
    SetForegroundWindow(m_hwnd);
}

void CCopyDialog::OnCommand(int id, int code)
{
    switch (id) {
    case IDC_TARGETS:
        if (code == LBN_SELCHANGE)
            SelectTarget(int(SendDlgItemMessageA(m_hwnd, IDC_TARGETS, LB_GETCURSEL, 0, 0)));
        break;
    case IDC_TARGET_FILES:
    case IDC_DEST_FILES:
        if (code == LBN_SELCHANGE)
            UpdateButtons();
        break;
    case IDC_COPY_IN:
    case IDC_COPY_OUT:
        if (code == BN_CLICKED && IsWindowEnabled(GetDlgItem(m_hwnd, id)))
            Copy(id == IDC_COPY_IN);
        break;
    case IDCANCEL:
        EndDialog(m_hwnd, 0);
        break;
    default:
        break;
    }
}

void CCopyDialog::SelectTarget(int index)
{
    m_nTarget = index >= 0 && size_t(index) < m_request.targets.size() ? index : -1;
    SendDlgItemMessageA(m_hwnd, IDC_TARGETS, LB_SETCURSEL, WPARAM(m_nTarget), 0);
    if (m_nTarget < 0) {
        m_targetFiles.clear();
        SendDlgItemMessageA(m_hwnd, IDC_TARGET_FILES, LB_RESETCONTENT, 0, 0);
        SetText(IDC_TARGET_LABEL, "");
    } else {
        const std::string root = RootOf(m_request.targets[size_t(m_nTarget)].path);
        SetText(IDC_TARGET_LABEL, root);
        FillFileList(IDC_TARGET_FILES, root, m_targetFiles);
    }
    UpdateButtons();
}

void CCopyDialog::FillFileList(int listId, const std::string &folder, std::vector<FolderEntry> &entries)
{
    entries = ListFolder(folder);
    const HWND list = GetDlgItem(m_hwnd, listId);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const auto &entry : entries) {
        const std::string line = entry.folder ? entry.name + "\\" : entry.name;
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void CCopyDialog::Refresh()
{
    if (m_nTarget >= 0)
        FillFileList(IDC_TARGET_FILES, RootOf(m_request.targets[size_t(m_nTarget)].path), m_targetFiles);
    FillFileList(IDC_DEST_FILES, DestRoot(m_request.destDrive), m_destFiles);
    UpdateButtons();
}

void CCopyDialog::UpdateButtons()
{
    const bool chosen = m_nTarget >= 0;
    const bool inSelected = SendDlgItemMessageA(m_hwnd, IDC_TARGET_FILES, LB_GETSELCOUNT, 0, 0) > 0;
    const bool outSelected = SendDlgItemMessageA(m_hwnd, IDC_DEST_FILES, LB_GETSELCOUNT, 0, 0) > 0;
    EnableWindow(GetDlgItem(m_hwnd, IDC_COPY_IN), chosen && m_request.destWritable && inSelected);
    EnableWindow(GetDlgItem(m_hwnd, IDC_COPY_OUT),
                 chosen && m_request.targets[size_t(m_nTarget)].writable && outSelected);
}

std::vector<std::string> CCopyDialog::SelectedNames(int listId, const std::vector<FolderEntry> &entries) const
{
    std::vector<std::string> names;
    const HWND list = GetDlgItem(m_hwnd, listId);
    const LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0)
        return names;
    std::vector<int> items(static_cast<size_t>(count));
    const LRESULT got = SendMessageA(list, LB_GETSELITEMS, WPARAM(count), reinterpret_cast<LPARAM>(items.data()));
    for (LRESULT k = 0; k < got; ++k)
        if (items[size_t(k)] >= 0 && size_t(items[size_t(k)]) < entries.size())
            names.push_back(entries[size_t(items[size_t(k)])].name);
    return names;
}

void CCopyDialog::Copy(bool in)
{
    if (m_nTarget < 0)
        return;
    const std::string targetRoot = RootOf(m_request.targets[size_t(m_nTarget)].path);
    const std::string destRoot = DestRoot(m_request.destDrive);
    const std::vector<std::string> names =
        in ? SelectedNames(IDC_TARGET_FILES, m_targetFiles) : SelectedNames(IDC_DEST_FILES, m_destFiles);
    const DWORD err =
        in ? CopyEntries(m_hwnd, targetRoot, names, destRoot) : CopyEntries(m_hwnd, destRoot, names, targetRoot);
    char status[128];
    if (err == 0)
        std::snprintf(status, sizeof status, "Copied %u item(s).", unsigned(names.size()));
    else
        std::snprintf(status, sizeof status, "Copy failed: error %lu.", static_cast<unsigned long>(err));
    SetText(IDC_STATUS, status);
    Refresh();
}

} // namespace rundle
