// message_wait.h - waits that keep answering the messages other threads
// send to the waiting thread.
//
// A thread that owns windows and waits (for the mount lock, for a worker to
// end) must still answer SendMessage from the thread it waits for, or both
// stop for good: the shell's change notifications, for one, reach the
// dialog's windows through a send from whichever thread announced the
// change. Posted messages stay queued for the thread's own loop.
#pragma once

#include <windows.h>

// Waits up to ms for handle (null: just the time), answering sent messages
// meanwhile. WAIT_OBJECT_0 when the handle was signalled, else WAIT_TIMEOUT.
DWORD WaitAnsweringSentMessages(HANDLE handle, DWORD ms);
