// commands.cpp - the table of the host program's commands.
#include "commands.h"

const std::vector<HostCommand> &HostCommands()
{
    static const std::vector<HostCommand> commands = {
        {"info", "info", "module flag, export table and shared block state", RunInfo},
        {"shared-text", "shared-text set <text> | get", "store or read the text slot shared by all processes",
         RunSharedText},
        {"show", "show [--visit] [--copy] [--parent] ...", "show the dialog on the (demo) store; show --help: options",
         RunShow},
        {"targets", "targets [<platform number> | <file>]", "the drives a platform may see (GetDriveTargets)",
         RunTargets},
        {"delete", "delete <platform id> [<store file>]", "empty a platform's sefra (DeleteSefra)", RunDelete},
        {"sendto", "sendto <sefra id> <file>...", "send files to a sefra through rundll32 and MySendTo", RunSendTo},
        {"show-noinit", "show-noinit [--ready <f>] [--close-after <ms>]",
         "the dialog without a store (SB_ShowDlgNoInit)", RunShowNoInit},
    };
    return commands;
}
