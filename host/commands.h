// commands.h - the host program's commands: one table, one function each.
#pragma once

#include "library.h"

#include <vector>

constexpr int kHostOk = 0;
constexpr int kHostRefused = 1;
constexpr int kHostUsage = 2;
constexpr int kHostNoLibrary = 3;

struct HostCommand {
    const char *name;
    const char *usage;   // the command with its arguments, for --help
    const char *summary; // one line
    // argv holds the arguments after the command name.
    int (*run)(SefraboxLibrary &library, int argc, char **argv);
};

const std::vector<HostCommand> &HostCommands();

int RunInfo(SefraboxLibrary &library, int argc, char **argv);
int RunSharedText(SefraboxLibrary &library, int argc, char **argv);
int RunShow(SefraboxLibrary &library, int argc, char **argv);
int RunTargets(SefraboxLibrary &library, int argc, char **argv);
int RunDelete(SefraboxLibrary &library, int argc, char **argv);
int RunSendTo(SefraboxLibrary &library, int argc, char **argv);
int RunShowNoInit(SefraboxLibrary &library, int argc, char **argv);
