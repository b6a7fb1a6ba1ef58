// demo_world.cpp - MakeDemoWorld (see demo_world.h).
#include "demo_world.h"

#include "process.h"

DWORD MakeDemoWorld(const std::string &folder, const std::string &options, DWORD timeoutMs)
{
    ChildOptions child;
    child.timeoutMs = timeoutMs;
    // What it made goes to standard output, which stays out of the caller's.
    child.captureOutput = true;
    const ChildRun run = RunChild(BinProgram("make_demo_world.exe") + " " + options + " \"" + folder + "\"", child);
    return run.timedOut ? MAXDWORD : run.exitCode;
}
