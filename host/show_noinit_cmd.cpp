// show_noinit_cmd.cpp - "show-noinit [--ready <file>] [--close-after <ms>]":
// shows the main dialog through SB_ShowDlgNoInit, without a store.
//
// --ready names a file created once the dialog's window is up (a script
// waits for it, then takes a screenshot); --close-after ends the dialog with
// the hot key that many milliseconds later, as a user at the keyboard would.
#include "commands.h"
#include "own_dialog.h"

#include "Sefrabox.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

struct ShowOptions {
    std::string readyFile;
    DWORD closeAfterMs = 0;
};

void WatchDialog(const ShowOptions &options)
{
    const HWND dialog = WaitForOwnDialog(0, 30000);
    if (!dialog)
        return;
    Sleep(500); // the first paint
    if (!options.readyFile.empty()) {
        HANDLE h = CreateFileA(options.readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    if (options.closeAfterMs) {
        Sleep(options.closeAfterMs);
        PostMessageA(dialog, WM_HOTKEY, kDialogHotKeyId, 0);
    }
}

} // namespace

int RunShowNoInit(SefraboxLibrary &library, int argc, char **argv)
{
    ShowOptions options;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ready") == 0 && i + 1 < argc) {
            options.readyFile = argv[++i];
        } else if (std::strcmp(argv[i], "--close-after") == 0 && i + 1 < argc) {
            options.closeAfterMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            std::fprintf(stderr, "usage: sefrabox-host show-noinit [--ready <file>] [--close-after <ms>]\n");
            return kHostUsage;
        }
    }
    using ShowNoInitFn = int(__cdecl *)(const char *);
    auto show = library.RequireEntryAs<ShowNoInitFn>(SEFRABOX_ORD_SHOWDLGNOINIT, "SB_ShowDlgNoInit");
    if (!show)
        return kHostNoLibrary;

    std::thread watcher(WatchDialog, options);
    const int result = show(nullptr);
    watcher.join();
    std::printf("SB_ShowDlgNoInit returned %d\n", result);
    return kHostOk;
}
