// visit.h - one scripted visit of the main dialog, as a user would make it:
// choose the first row, type its password, open the sefra, look at the
// drive, wait for the dialog to take the Explorer window over (renamed after
// the sefra, the dialog's controls locked), close that window, close the
// dialog. Runs on a thread of its own while the show entry runs the dialog
// on the caller's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

struct SharedBlock;

struct VisitPlan {
    std::string password = "main";
    std::string screensFolder;                       // empty: no screenshots
    const std::atomic<bool> *showReturned = nullptr; // stops the wait for the dialog
};

struct VisitScreenshot {
    std::string path; // the picture of the whole screen
    RECT shows{};     // the windows it was taken for, in screen coordinates
};

struct VisitReport {
    bool dialogShown = false;
    std::string drive;                // "X:" the sefra got; empty when none came
    std::vector<std::string> listing; // the drive's root folder
    bool shellListsWindows = false;   // the shell's window collection counts the file manager's windows
    bool adopted = false;             // the dialog took the window over and locked its controls
    std::string expectedTitle;        // "<sefra name> (X:)"
    std::string windowTitle;          // the window's title once adopted
    bool driveRemoved = false;        // gone before the dialog was closed
    unsigned long removedAfterMs = 0; // from the window's WM_CLOSE to the drive gone
    bool controlsBack = false;        // the dialog's controls enabled again after the close
    std::vector<VisitScreenshot> screenshots;
    std::string problem; // what went wrong, empty when nothing did
};

// Drives the dialog of this process; shared is the library's shared block.
VisitReport RunVisit(const VisitPlan &plan, const SharedBlock *shared);
