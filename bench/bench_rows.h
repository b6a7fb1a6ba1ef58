// bench_rows.h - the figures of the benchmark, each measured beside its peer
// in the same run, and the child modes in which this program plays the
// second process of a figure.
#pragma once

#include "bench_table.h"
#include "bench_world.h"

#include <string>
#include <vector>

// DeleteSefra (export 33) of nested trees of small files against
// "cmd /c rd /s /q" of an identical tree; one row per count (ascending), then
// the growth from each count to the next.
std::vector<BenchRow> BenchDelete(const DemoWorld &world, const std::vector<size_t> &counts);

// MySendTo (export 22) in rundll32's process, as the shell starts it, to its
// success box, against the shell's own copy of the same files into the same
// folder; the whole request and its steps.
std::vector<BenchRow> BenchSendTo(const DemoWorld &world, const std::string &scratch, size_t files, size_t maxKiB);
// Child mode "shellcopy <folder> <files...>": the peer's copy, traced when done.
int ShellCopyChild(int argc, char **argv);

// OpenSefra in Explorer mode and the drive's release, against a plain
// DefineDosDeviceA drive on the same folder; open and close rows.
std::vector<BenchRow> BenchOpenClose(const DemoWorld &world, int visits);

// The arrow click to the file manager's window named after the sefra,
// against ShellExecuteEx of the file manager on an existing drive to its
// window shown; the two alternate.
BenchRow BenchOpenToWindow(const DemoWorld &world, int visits);

// GetDriveTargets (export 21) against a copy of the 261-byte record.
BenchRow BenchDriveTargets(const std::string &scratch);

// SB_ShowDlg against SB_ShowDlgNoInit, and the host process's private bytes
// over the visits (measured in the lean host sefrabox_bench_host.exe).
std::vector<BenchRow> BenchShowAndMemory(const DemoWorld &world, int visits);

// The mount lock handed between two processes against a named event.
std::vector<BenchRow> BenchLockHandoff(int handoffs);
// Child mode: the second party of the hand-offs.
int LockChild(int kind, int handoffs, const std::string &mapping);
