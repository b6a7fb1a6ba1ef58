// ui_screenshot_show.cpp - shows the main dialog with its three platform rows
// for a screenshot (scripts/ui-screenshot.sh). Once the dialog is painted,
// writes its window rectangle as WxH+X+Y (the geometry form of picture
// tools) into the file named by its first argument; ends when the file named
// by the second argument appears. A third argument "restart" shows the
// restart dialog instead.
#include "module/app.h"
#include "ui/restart_dlg.h"
#include "ui/sefrabox_dlg.h"
#include "win/handles.h"

#include <cstdio>
#include <string>

namespace {

std::string g_readyFile, g_doneFile;
HWND g_dialog;

void CALLBACK WaitForDone(HWND, UINT, UINT_PTR, DWORD)
{
    if (GetFileAttributesA(g_doneFile.c_str()) != INVALID_FILE_ATTRIBUTES)
        PostMessageA(g_dialog, WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK Arrange(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    g_dialog = GetForegroundWindow();
    if (!g_dialog || GetWindowThreadProcessId(g_dialog, nullptr) != GetCurrentThreadId())
        g_dialog = FindWindowA("#32770", nullptr);
    for (int b = IDC_PLATFORM1; b <= IDC_PLATFORM3; ++b)
        ShowWindow(GetDlgItem(g_dialog, b), SW_SHOW);
    SendMessageA(g_dialog, WM_COMMAND, MAKEWPARAM(IDC_PLATFORM2, BN_CLICKED), 0);
    SetWindowTextA(GetDlgItem(g_dialog, IDC_PWD2), "secret");
    RedrawWindow(g_dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r{};
    GetWindowRect(g_dialog, &r);
    char geometry[64];
    const int length = std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top,
                                     r.left, r.top);
    DWORD written = 0;
    CFileHandle ready(CreateFileA(g_readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (ready)
        WriteFile(ready.Get(), geometry, static_cast<DWORD>(length), &written, nullptr);
    SetTimer(nullptr, 0, 100, WaitForDone);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return 87;
    g_readyFile = argv[1];
    g_doneFile = argv[2];
    g_hSefraboxInstance = GetModuleHandleA(nullptr);
    SetTimer(nullptr, 0, 500, Arrange);
    if (argc > 3 && std::string(argv[3]) == "restart") {
        CRestartDlg restart(nullptr);
        return static_cast<int>(restart.DoModal());
    }
    CSefraboxDlg dlg(nullptr);
    return static_cast<int>(dlg.DoModal());
}
