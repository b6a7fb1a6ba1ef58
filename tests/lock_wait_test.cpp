// Waiting for the mount lock on a thread with windows: the holder may send
// to those windows before it lets go (the shell announces a drive's removal
// that way), so the wait must answer it rather than sleep through it.
#include "machine/mount_lock.h"
#include "win/message_wait.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr UINT kAnnounce = WM_APP + 7;
constexpr UINT kSendTimeoutMs = 20000;

std::atomic<int> g_answered{0};

LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == kAnnounce) {
        ++g_answered;
        return 1;
    }
    return DefWindowProcA(hwnd, msg, w, l);
}

DWORD WINAPI AnnounceFromWorker(LPVOID window)
{
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(static_cast<HWND>(window), kAnnounce, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &answer) ? 0
                                                                                                                 : 1;
}

HWND MakeWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = AnswerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SefraboxLockWaitTest";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, HWND_MESSAGE, nullptr, wc.hInstance,
                           nullptr);
}

TEST(LockWait, AHolderThatSendsToTheWaitersWindowIsAnsweredAndLetsGo)
{
    const HWND window = MakeWindow();
    ASSERT_NE(nullptr, window);
    std::atomic<bool> holding{false};
    bool delivered = false;
    std::thread holder([&] {
        AcquireMountVolumeLock(kLockPollEntryMs);
        holding = true;
        Sleep(200); // the waiter is asleep in its poll by now
        DWORD_PTR answer = 0;
        delivered =
            SendMessageTimeoutA(window, kAnnounce, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &answer) != 0 && answer == 1;
        ReleaseMountVolumeLock();
    });
    while (!holding)
        Sleep(1);
    AcquireMountVolumeLock(kLockPollEntryMs);
    ReleaseMountVolumeLock();
    holder.join();
    EXPECT_TRUE(delivered) << "the holder's message waited for the lock's waiter";
    EXPECT_EQ(1, g_answered.load());

    // A worker announcing to the window while it is awaited is answered too,
    // and its end is seen.
    HANDLE worker = CreateThread(nullptr, 0, AnnounceFromWorker, window, 0, nullptr);
    ASSERT_NE(nullptr, worker);
    EXPECT_EQ(WAIT_OBJECT_0, WaitAnsweringSentMessages(worker, INFINITE));
    DWORD code = 2;
    GetExitCodeThread(worker, &code);
    CloseHandle(worker);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(2, g_answered.load());
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitAnsweringSentMessages(nullptr, 20));
    DestroyWindow(window);
}

// The holder is the one way the library takes the lock: one that did not
// take it leaves it to whoever holds it, and one that let go early does not
// let go again when it ends.
TEST(LockWait, AHolderReleasesOnlyTheLockItTookAndOnlyOnce)
{
    {
        CMountVolumeLockHolder first(kLockPollEntryMs);
        ASSERT_TRUE(first.Held());
        {
            const CMountVolumeLockHolder refused = CMountVolumeLockHolder::TryAcquire();
            EXPECT_FALSE(refused.Held());
        }
        EXPECT_FALSE(TryAcquireMountVolumeLock()) << "a holder that did not take the lock let it go";
        first.Release();
        EXPECT_FALSE(first.Held());
        ASSERT_TRUE(TryAcquireMountVolumeLock()) << "Release let it go";
    }
    EXPECT_FALSE(TryAcquireMountVolumeLock()) << "the holder let go a second time, of a lock taken since";
    ReleaseMountVolumeLock();
}

} // namespace
