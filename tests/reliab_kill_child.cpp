// reliab_kill_child.cpp - the process that reliab_kill_test kills at a
// critical point. It signals the named event <at> once it stands there and
// then waits for its end, so the kill lands exactly at that point.
//
//   reliab_kill_child open-wrong <at>
//       SB_ShowDlg on the default store; on the first row types a wrong
//       password and presses the arrow: OpenSefra holds g_MountVolumeLock
//       while its message box is created, and there the child stops.
//   reliab_kill_child open-drive <at>
//       as above with the right password "main": stops once OpenSefra has
//       returned with the sefra's drive defined and the dialog open.
//   reliab_kill_child open-copy <at>
//       SB_ShowDlg with a result word (copy mode); opens the second row with
//       its password "work1": stops as the copy dialog is made, with the
//       lock held, the sefra on a temporary drive and the platform's disk
//       mounted.
//   reliab_kill_child open-check <at>
//       SB_ShowDlg on a store marked dirty: stops as the checking window is
//       made, with the lock held and the store mounted for its check.
//   reliab_kill_child show
//       SB_ShowDlg, ended by its hot key once shown; exits with its result.
//   reliab_kill_child destroy-owner
//       SB_ShowDlgWithParent, owned by a window of its own; opens the first
//       row with a wrong password and, inside the message box that says so,
//       destroys that owner. Exits 0 once the dialog has ended with the
//       owner gone and nothing of the visit left in the shared block.
//   reliab_kill_child sendto-run , MySendTo <n>,<files>
//       MySendTo with this command line; exits with its result.
//   reliab_kill_child delete <store> <id> <profile> <at>
//       DeleteSefra(store, id); a watcher thread stops the call once the
//       lock is held and some of the record's folder is gone, i.e. while
//       the folder is being emptied. Exits 50 when the call ended first.
//   reliab_kill_child sendto <folder> <count> <at> , MySendTo <n>,<files>
//       MySendTo with this command line; a watcher thread stops the request
//       once <count> files have arrived in <folder>, i.e. during the copy.
//       Exits 50 when the request ended first.
//   reliab_kill_child probe <store>
//       DeleteSefra(store, 99) on a store without platform 99: takes the
//       lock, mounts, finds nothing and unmounts; exits with its result.
#include "Sefrabox.h"
#include "res/resource.h"
#include "shared_section.h"
#include "window_finders.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kDriveLetterOffset = 0x680;
constexpr UINT_PTR kStartTimer = 1;

HANDLE g_atEvent = nullptr;
volatile LONG *g_lock = nullptr;
BYTE *g_block = nullptr;
const char *g_password = nullptr;
int g_row = IDC_PLATFORM1;
bool g_stopAtMessageBox = false;
volatile bool g_openPressed = false;
HHOOK g_cbtHook = nullptr;
HWND g_owner = nullptr;

[[noreturn]] void StopHere()
{
    SetEvent(g_atEvent);
    for (;;)
        Sleep(INFINITE);
}

void CALLBACK DestroyOwner(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    DestroyWindow(g_owner);
}

// Drives more than when the child started.
int g_baseDrives = 0;
int g_drivesAtPoint = 0;
int NewDrives() { return __builtin_popcount(GetLogicalDrives()) - g_baseDrives; }

LRESULT CALLBACK CbtProc(int code, WPARAM w, LPARAM l)
{
    // A window made under the lock: OpenSefra's message box, or the copy
    // dialog (the store, the sefra's and the platform's drives there) or
    // the checking window (the store's check drive there).
    if (code == HCBT_CREATEWND && *g_lock == 1 &&
        (g_stopAtMessageBox ? g_openPressed : NewDrives() >= g_drivesAtPoint)) {
        if (!g_owner)
            StopHere();
        g_openPressed = false;
        SetTimer(nullptr, 0, 10, DestroyOwner); // from inside the message box's loop
    }
    return CallNextHookEx(g_cbtHook, code, w, l);
}

void Click(HWND dlg, int id) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id)); }

void CALLBACK StartTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    const HWND dlg =
        ShownWindows().OfThread(GetCurrentThreadId()).OfClass(kDialogClass).WithControl(IDC_PLATFORM1).First();
    if (!dlg)
        return; // not shown yet: the timer comes again
    KillTimer(nullptr, id);
    if (!g_password) {
        PostMessageA(dlg, WM_HOTKEY, 0x1000, MAKELPARAM(MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'L'));
        return;
    }
    Click(dlg, g_row);
    SetDlgItemTextA(dlg, g_row + 3, g_password);
    g_openPressed = true;
    Click(dlg, g_row + 6);
    if (g_owner)
        return; // the owner went inside the message box: the dialog with it
    if (!g_stopAtMessageBox && g_block[kDriveLetterOffset] != '\0' && *g_lock == 0)
        StopHere();
    ExitProcess(51); // the point was not reached
}

// mode: open-wrong, open-drive, open-copy, open-check, show or destroy-owner.
int Open(const std::string &mode)
{
    const bool copy = mode == "open-copy";
    const bool wrong = mode == "open-wrong" || mode == "destroy-owner";
    g_password = wrong ? "wrong" : copy ? "work1" : mode == "show" ? nullptr : "main";
    g_row = copy ? IDC_PLATFORM2 : IDC_PLATFORM1;
    g_stopAtMessageBox = wrong;
    g_baseDrives = NewDrives();
    g_drivesAtPoint = copy ? 3 : 1;
    if (mode != "open-drive" && mode != "show")
        g_cbtHook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
    SetTimer(nullptr, kStartTimer, 50, StartTimer);
    if (mode == "destroy-owner") {
        g_owner =
            CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        static SEFRABOX_WND_OBJECT caller = {};
        caller.hWnd = g_owner;
        SB_ShowDlgWithParent(reinterpret_cast<CWnd *>(&caller), nullptr);
        return IsWindow(g_owner) ? 61 : CSharedView(g_block).Leftovers().empty() ? 0 : 62;
    }
    int result = 0;
    const int shown = SB_ShowDlg(nullptr, copy ? &result : nullptr, nullptr, nullptr);
    return mode == "show" ? shown : 52; // 52: the dialog ended without reaching the point
}

struct DeleteWatch {
    HANDLE hMainThread;
    std::string folder; // of the record whose id is being deleted
    int entries;        // in it before the call
};

// The entries of folder; 0 when it is gone.
int CountEntries(const std::string &folder)
{
    int n = 0;
    WIN32_FIND_DATAA entry;
    const HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++n;
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return n;
}

DWORD WINAPI WatchDelete(void *arg)
{
    auto *watch = static_cast<DeleteWatch *>(arg);
    for (;;) {
        const int left = *g_lock == 1 ? CountEntries(watch->folder) : 0;
        if (left > 0 && left < watch->entries) {
            SuspendThread(watch->hMainThread);
            StopHere();
        }
        Sleep(1);
    }
}

int Delete(const char *store, const char *id, const char *profile)
{
    static DeleteWatch watch;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &watch.hMainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    for (int record = 1; record <= 3; ++record) {
        const std::string section = std::to_string(record);
        char recordId[16] = {}, target[64] = {};
        GetPrivateProfileStringA(section.c_str(), "id", "", recordId, sizeof recordId, profile);
        GetPrivateProfileStringA(section.c_str(), "Target", "", target, sizeof target, profile);
        if (std::string(recordId) == id)
            watch.folder = std::string(profile, std::strrchr(profile, '\\') - profile + 1) + target;
    }
    watch.entries = CountEntries(watch.folder);
    HANDLE watcher = CreateThread(nullptr, 0, WatchDelete, &watch, 0, nullptr);
    if (!watcher)
        return 53;
    DeleteSefra(store, std::strtoul(id, nullptr, 10));
    return 50;
}

struct CopyWatch {
    HANDLE hMainThread;
    std::string folder;
    int count;
};

int FilesIn(const std::string &folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\f*.bin").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do
        ++n;
    while (FindNextFileA(find, &fd));
    FindClose(find);
    return n;
}

DWORD WINAPI WatchCopy(void *arg)
{
    auto *watch = static_cast<CopyWatch *>(arg);
    for (;;) {
        if (*g_lock == 1 && FilesIn(watch->folder) >= watch->count) {
            SuspendThread(watch->hMainThread);
            StopHere();
        }
        Sleep(1);
    }
}

int SendTo(const char *folder, const char *count)
{
    static CopyWatch watch;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &watch.hMainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    watch.folder = folder;
    watch.count = std::atoi(count);
    if (!CreateThread(nullptr, 0, WatchCopy, &watch, 0, nullptr))
        return 53;
    MySendTo();
    return 50;
}

} // namespace

int main(int argc, char **argv)
{
    HMODULE sefrabox = GetModuleHandleA("Sefrabox.dll");
    g_block = SharedBlockOf(sefrabox);
    g_lock = MountVolumeLockOf(sefrabox);
    if (!g_block || !g_lock)
        return 60;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "probe" && argc == 3)
        return DeleteSefra(argv[2], 99);
    if (mode == "show" || mode == "destroy-owner")
        return Open(mode);
    if (mode == "sendto-run")
        return MySendTo();
    const bool sendTo = mode == "sendto" && argc > 4;
    const char *at = sendTo ? argv[4] : argc > 2 ? argv[argc - 1] : "";
    g_atEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, at);
    if (!g_atEvent)
        return 61;
    if (mode.rfind("open-", 0) == 0 && argc == 3)
        return Open(mode);
    if (sendTo)
        return SendTo(argv[2], argv[3]);
    if (mode == "delete" && argc == 6)
        return Delete(argv[2], argv[3], argv[4]);
    return 62;
}
