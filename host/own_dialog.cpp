// own_dialog.cpp - WaitForOwnDialog (see own_dialog.h).
#include "own_dialog.h"

#include <cstring>

namespace {

struct Search {
    int controlId;
    HWND found;
};

BOOL CALLBACK MatchOwnDialog(HWND hwnd, LPARAM l)
{
    auto *search = reinterpret_cast<Search *>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd) &&
        (search->controlId == 0 || GetDlgItem(hwnd, search->controlId))) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForOwnDialog(int controlId, DWORD timeoutMs, const std::atomic<bool> *stop)
{
    Search search{controlId, nullptr};
    for (DWORD waited = 0;; waited += 100) {
        EnumWindows(MatchOwnDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found || waited >= timeoutMs || (stop && *stop))
            return search.found;
        Sleep(100);
    }
}
