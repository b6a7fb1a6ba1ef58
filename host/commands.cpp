// commands.cpp - the table of the host program's commands.
#include "commands.h"

const std::vector<HostCommand> &HostCommands()
{
    static const std::vector<HostCommand> commands = {
        {"info", "info", "module flag, export table and shared block state", RunInfo},
        {"shared-text", "shared-text set <text> | get", "store or read the text slot shared by all processes",
         RunSharedText},
        {"show-noinit", "show-noinit [--ready <file>] [--close-after <ms>]",
         "show the main dialog without preparing a store (SB_ShowDlgNoInit)", RunShowNoInit},
    };
    return commands;
}
