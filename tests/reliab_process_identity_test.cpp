// reliab_process_identity_test.cpp - how the lock's holder record tells a
// running holder from a dead one: by process id and creation time, so that
// an ended process (whose id a handle may still keep taken) or a later
// process with the same id is never taken for the holder.
#include "machine/process_identity.h"
#include "process.h"
#include "win/handles.h"

#include <gtest/gtest.h>

namespace {

TEST(ProcessIdentity, TheRunningProcessWithItsOwnCreationTimeOnly)
{
    const ProcessIdentity self = CurrentProcessIdentity();
    EXPECT_EQ(GetCurrentProcessId(), self.dwProcessId);
    EXPECT_TRUE(IsProcessRunning(self.dwProcessId, self.ftCreated));

    // The same id with another creation time: a process that reused the id.
    FILETIME other = self.ftCreated;
    other.dwLowDateTime ^= 1;
    EXPECT_FALSE(IsProcessRunning(self.dwProcessId, other));
    EXPECT_FALSE(IsProcessRunning(0, self.ftCreated));
}

TEST(ProcessIdentity, AnEndedProcessIsNotRunningWhileAHandleKeepsItsId)
{
    CKernelHandle child = StartProgram(BinProgram("make_demo_world.exe") + " --no-such-option");
    ASSERT_TRUE(child.Valid());
    const DWORD pid = GetProcessId(child.Get());
    FILETIME created{}, exited{}, kernel{}, user{};
    ASSERT_TRUE(GetProcessTimes(child.Get(), &created, &exited, &kernel, &user));
    WaitForSingleObject(child.Get(), INFINITE);
    // The handle is still open: the id exists, the process does not run.
    EXPECT_FALSE(IsProcessRunning(pid, created));
}

} // namespace
