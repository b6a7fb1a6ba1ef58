// show_cmd.cpp - "show": the main dialog on a store, as the suite's control
// program shows it (SB_ShowDlg, or SB_ShowDlgWithParent with --parent),
// optionally with one scripted visit.
//
//   show [--store <file>] [--copy] [--parent] [--visit] [--password <text>]
//        [--screens <folder>] [--close-after <ms>]
//
// --copy hands in a result word (the dialog then opens sefras in copy
// mode); --visit chooses the first row, types the password (default
// "main"), opens the sefra, lists its drive, waits for the dialog to take
// the Explorer window over, closes that window (reporting when the drive
// went) and the dialog, saving screenshots into --screens; --close-after ends the
// dialog with the hot key, as a user at the keyboard would.
#include "commands.h"
#include "host_world.h"
#include "own_dialog.h"
#include "visit.h"

#include "Sefrabox.h"
#include "machine/shared_block.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ShowOptions {
    std::string store;
    bool copy = false, parent = false, visit = false;
    VisitPlan plan;
    DWORD closeAfterMs = 0;
};

bool ParseOptions(int argc, char **argv, ShowOptions &o)
{
    for (int i = 0; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--store") == 0 && hasValue)
            o.store = argv[++i];
        else if (std::strcmp(argv[i], "--copy") == 0)
            o.copy = true;
        else if (std::strcmp(argv[i], "--parent") == 0)
            o.parent = true;
        else if (std::strcmp(argv[i], "--visit") == 0)
            o.visit = true;
        else if (std::strcmp(argv[i], "--password") == 0 && hasValue)
            o.plan.password = argv[++i];
        else if (std::strcmp(argv[i], "--screens") == 0 && hasValue)
            o.plan.screensFolder = argv[++i];
        else if (std::strcmp(argv[i], "--close-after") == 0 && hasValue)
            o.closeAfterMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        else
            return false;
    }
    return !(o.parent && !o.store.empty()); // the parent entry always uses the default store
}

HWND CreateHostWindow()
{
    return CreateWindowExA(0, "STATIC", "sefrabox-host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 120, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

void PrintVisit(const VisitReport &r)
{
    std::printf("visit: dialog %s\n", r.dialogShown ? "shown" : "not shown");
    if (r.dialogShown && !r.shellListsWindows)
        std::printf("visit: the shell lists no file-manager windows here (under Wine: the shell-window provider\n"
                    "       ShellWindowsStandin.dll is not registered in this prefix), so the dialog cannot take its\n"
                    "       Explorer window over: the drive stays until the file manager's program ends (under\n"
                    "       Wine, with its window) or the dialog ends\n");
    if (!r.drive.empty()) {
        std::printf("visit: the sefra opened as drive %s, holding:\n", r.drive.c_str());
        for (const std::string &name : r.listing)
            std::printf("         %s\n", name.c_str());
        if (r.adopted) {
            std::printf("visit: the dialog took its Explorer window over and locked its controls; the window is\n"
                        "       titled \"%s\"%s\n",
                        r.windowTitle.c_str(),
                        r.windowTitle == r.expectedTitle ? "" : " (not renamed after the sefra)");
        } else {
            std::printf("visit: the dialog did not take the Explorer window over\n");
        }
        if (r.driveRemoved)
            std::printf("visit: the drive was removed when its window closed (%lu ms after WM_CLOSE)%s\n",
                        r.removedAfterMs, r.controlsBack ? ", and the dialog's controls came back" : "");
        else
            std::printf("visit: the drive was kept after its window closed; it goes when the dialog ends\n");
    }
    // The rectangle in the geometry form of picture tools (WxH+X+Y), so that
    // a script can cut the windows out of the screen.
    for (const VisitScreenshot &shot : r.screenshots)
        std::printf("visit: screenshot %s, windows at %ldx%ld+%ld+%ld\n", shot.path.c_str(),
                    shot.shows.right - shot.shows.left, shot.shows.bottom - shot.shows.top, shot.shows.left,
                    shot.shows.top);
    if (!r.problem.empty())
        std::printf("visit: %s\n", r.problem.c_str());
}

} // namespace

int RunShow(SefraboxLibrary &library, int argc, char **argv)
{
    ShowOptions o;
    const bool help = argc == 1 && std::strcmp(argv[0], "--help") == 0;
    if (help || !ParseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: sefrabox-host show [--store <file>] [--copy] [--parent] [--visit]\n"
                             "                          [--password <text>] [--screens <folder>] [--close-after <ms>]\n"
                             "       (--parent always shows the default store)\n");
        return help ? kHostOk : kHostUsage;
    }
    using ShowDlgFn = int(__cdecl *)(const char *, int *, int *, CSefraboxDlg **);
    using ShowWithParentFn = int(__cdecl *)(CWnd *, int *);
    auto show = library.RequireEntryAs<ShowDlgFn>(SEFRABOX_ORD_SHOWDLG, "SB_ShowDlg");
    auto showWithParent =
        library.RequireEntryAs<ShowWithParentFn>(SEFRABOX_ORD_SHOWDLGWITHPARENT, "SB_ShowDlgWithParent");
    if (!show || !showWithParent)
        return kHostNoLibrary;
    if (PrepareWorld(kDefaultWorld).empty())
        return kHostRefused;
    if (o.visit && !library.Shared()) {
        std::fprintf(stderr, "sefrabox-host: the library has no shared block to follow the visit in\n");
        return kHostNoLibrary;
    }

    VisitReport report;
    std::atomic<bool> returned{false};
    o.plan.showReturned = &returned;
    std::atomic<bool> shown{false};
    std::thread watcher([&] {
        if (o.visit) {
            report = RunVisit(o.plan, library.Shared());
            shown = report.dialogShown;
            return;
        }
        const HWND dialog = WaitForOwnDialog(IDC_PLATFORM1, 60000, &returned);
        shown = dialog != nullptr;
        if (dialog && o.closeAfterMs) {
            Sleep(o.closeAfterMs);
            PostMessageA(dialog, WM_HOTKEY, kDialogHotKeyId, 0);
        }
    });

    int resultWord = -1, hotKey = -1, rc = 0;
    if (o.parent) {
        // The caller's window object as the library reads it.
        auto owner = std::make_unique<SEFRABOX_WND_OBJECT>();
        const HWND window = CreateHostWindow();
        owner->hWnd = window;
        rc = showWithParent(reinterpret_cast<CWnd *>(owner.get()), o.copy ? &resultWord : nullptr);
        if (window)
            DestroyWindow(window);
    } else {
        rc = show(o.store.empty() ? nullptr : o.store.c_str(), o.copy ? &resultWord : nullptr, &hotKey, nullptr);
    }
    returned = true;
    watcher.join();

    std::printf("%s returned %d", o.parent ? "SB_ShowDlgWithParent" : "SB_ShowDlg", rc);
    if (o.copy)
        std::printf(", result word %d", resultWord);
    if (!o.parent)
        std::printf(", closed by hot key: %d", hotKey);
    if (rc == 2)
        std::fputs(shown ? " (the dialog was cancelled)" : " (refused: busy, or the store could not be prepared)",
                   stdout);
    std::printf("\n");
    if (o.visit) {
        PrintVisit(report);
        const SharedBlock *shared = library.Shared();
        std::printf("visit: after the dialog: %s\n", shared && shared->szDriveLetter[0] == '\0' &&
                                                             shared->szVolumeName[0] == '\0' &&
                                                             shared->MountVolumeLock == 0
                                                         ? "no drive, no store mount, lock free"
                                                         : "something was left (see sefrabox-host info)");
    }
    return rc == 2 && !shown ? kHostRefused : kHostOk;
}
