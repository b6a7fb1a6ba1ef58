// explorer_windows.cpp - the file manager's windows (see explorer_windows.h).
#include "explorer_windows.h"

#include "win/com_ptr.h"
#include "win/handles.h"
#include "window_finders.h"

#include <exdisp.h>

#include <algorithm>

namespace {

bool IsExplorerClass(HWND hwnd)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpiA(cls, "CabinetWClass") == 0 || lstrcmpiA(cls, "ExploreWClass") == 0 ||
           lstrcmpiA(cls, "ExplorerWClass") == 0;
}

} // namespace

std::vector<HWND> ExplorerWindows() { return ShownWindows().Where(IsExplorerClass).All(); }

std::vector<HWND> NewExplorers(const std::vector<HWND> &before)
{
    std::vector<HWND> added;
    for (HWND hwnd : ExplorerWindows()) {
        if (std::find(before.begin(), before.end(), hwnd) == before.end())
            added.push_back(hwnd);
    }
    return added;
}

bool ShellListsItsWindows()
{
    CComPtr<IShellWindows> windows;
    LONG count = 0;
    return SUCCEEDED(
               CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows, windows.ReceiveVoid())) &&
           windows && SUCCEEDED(windows->get_Count(&count));
}

void PlaceBeside(HWND window, HWND dialog)
{
    RECT w{}, d{};
    if (!GetWindowRect(window, &w) || !GetWindowRect(dialog, &d))
        return;
    constexpr int kGap = 8, kNarrowest = 320;
    const int room = d.left - 2 * kGap;
    const int width = w.right - w.left < room ? w.right - w.left : room;
    if (width >= kNarrowest)
        SetWindowPos(window, nullptr, d.left - kGap - width, d.top, width, w.bottom - w.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void CloseExplorers(const std::vector<HWND> &windows, DWORD timeoutMs)
{
    std::vector<CKernelHandle> programs;
    for (HWND hwnd : windows) {
        const DWORD pid = ProcessOfWindow(hwnd);
        if (pid != GetCurrentProcessId())
            programs.emplace_back(OpenProcess(SYNCHRONIZE, FALSE, pid));
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
    }
    for (const CKernelHandle &program : programs)
        if (program)
            WaitForSingleObject(program.Get(), timeoutMs);
}
