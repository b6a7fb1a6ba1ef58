// message_wait.cpp - WaitAnsweringSentMessages (see message_wait.h).
#include "win/message_wait.h"

DWORD WaitAnsweringSentMessages(HANDLE handle, DWORD ms)
{
    const DWORD start = GetTickCount();
    const DWORD count = handle ? 1 : 0;
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = ms == INFINITE ? INFINITE : (elapsed >= ms ? 0 : ms - elapsed);
        const DWORD r = MsgWaitForMultipleObjectsEx(count, handle ? &handle : nullptr, left, QS_SENDMESSAGE, 0);
        if (r == WAIT_OBJECT_0 + count) {
            // Peeking answers the sent messages; nothing posted is removed.
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            if (left == 0)
                return WAIT_TIMEOUT;
            continue;
        }
        return handle && r == WAIT_OBJECT_0 ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
}
