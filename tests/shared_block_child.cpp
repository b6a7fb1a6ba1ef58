// shared_block_child.cpp - the second process of shared_block_test.
//
//   shared_block_child set <text>        SetSharedText; exit 0 when stored
//   shared_block_child get               prints GetSharedText's text
//   shared_block_child hold <held> <release>
//       takes g_MountVolumeLock (exit 3 if taken already), signals the event
//       named <held>, waits for the event named <release>, frees the lock.
#include "Sefrabox.h"
#include "shared_section.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    HMODULE sefrabox = GetModuleHandleA("Sefrabox.dll");
    if (argc == 3 && std::strcmp(argv[1], "set") == 0)
        return SetSharedText(argv[2]) ? 0 : 1;
    if (argc == 2 && std::strcmp(argv[1], "get") == 0) {
        char text[128] = {};
        if (!GetSharedText(text))
            return 1;
        std::fputs(text, stdout);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0) {
        volatile LONG *lock = MountVolumeLockOf(sefrabox);
        HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
        HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
        if (!lock || !held || !release)
            return 2;
        if (!TryTakeLock(lock))
            return 3;
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        InterlockedExchange(lock, 0);
        return 0;
    }
    return 2;
}
