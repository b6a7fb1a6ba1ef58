// process_identity.cpp - ProcessIdentity (see process_identity.h).
#include "machine/process_identity.h"

#include "win/handles.h"

#include <cstring>

namespace {

bool CreationTimeOf(HANDLE process, FILETIME &created)
{
    FILETIME exited, kernel, user;
    return GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE;
}

} // namespace

ProcessIdentity CurrentProcessIdentity()
{
    ProcessIdentity self{GetCurrentProcessId(), {}};
    CreationTimeOf(GetCurrentProcess(), self.ftCreated);
    return self;
}

bool IsProcessRunning(DWORD dwProcessId, const FILETIME &ftCreated)
{
    if (dwProcessId == 0)
        return false;
    CKernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, dwProcessId));
    if (!process.Valid())
        return GetLastError() == ERROR_ACCESS_DENIED; // a process we may not look at still exists
    FILETIME created{};
    DWORD exitCode = 0;
    // An ended process whose handle is still open elsewhere keeps its id; its
    // exit code tells. (An exit code equal to STILL_ACTIVE is not used here.)
    return CreationTimeOf(process.Get(), created) && GetExitCodeProcess(process.Get(), &exitCode) &&
           exitCode == STILL_ACTIVE && std::memcmp(&created, &ftCreated, sizeof created) == 0;
}
