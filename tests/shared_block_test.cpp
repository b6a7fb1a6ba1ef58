// shared_block_test.cpp - the machine-wide block seen from two processes,
// and SetSharedText / GetSharedText with unusable arguments.
#include "Sefrabox.h"
#include "process.h"
#include "shared_section.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

HMODULE Sefrabox() { return GetModuleHandleA("Sefrabox.dll"); }

std::string Child() { return BinProgram("shared_block_child.exe"); }

std::string SharedText()
{
    char text[128] = {};
    EXPECT_EQ(1, GetSharedText(text));
    return text;
}

// Pages with chosen protections, released at the end of the scope.
class CPages {
public:
    explicit CPages(DWORD count) : m_size(count * Page())
    {
        m_base = static_cast<char *>(VirtualAlloc(nullptr, m_size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~CPages()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    static DWORD Page()
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return info.dwPageSize;
    }
    char *At(DWORD page) const { return m_base + page * Page(); }
    void Protect(DWORD page, DWORD protection) const
    {
        DWORD old = 0;
        ASSERT_TRUE(VirtualProtect(At(page), Page(), protection, &old));
    }

private:
    DWORD m_size;
    char *m_base = nullptr;
};

} // namespace

TEST(SharedBlock, SectionHoldsTheBlockAtItsOffsets)
{
    BYTE *block = SharedBlockOf(Sefrabox());
    ASSERT_NE(nullptr, block);
    ASSERT_EQ(1, SetSharedText("at 0x600"));
    EXPECT_STREQ("at 0x600", reinterpret_cast<const char *>(block + kSharedTextOffset));
}

TEST(SharedBlock, TextCrossesProcesses)
{
    // "共享" in code page 936, as a caller would pass it.
    const std::string fromChild = "from the child \xB9\xB2\xCF\xED";
    ASSERT_EQ(0u, RunProgram(Child() + " set \"" + fromChild + "\""));
    EXPECT_EQ(fromChild, SharedText());

    ASSERT_EQ(1, SetSharedText("from the parent"));
    std::string printed;
    ASSERT_EQ(0u, RunProgram(Child() + " get", std::string(), &printed));
    EXPECT_EQ("from the parent", printed);
}

TEST(SharedBlock, LockHeldByAnotherProcess)
{
    volatile LONG *lock = MountVolumeLockOf(Sefrabox());
    ASSERT_NE(nullptr, lock);
    const std::string held = "sefrabox-test-held-" + std::to_string(GetCurrentProcessId());
    const std::string release = "sefrabox-test-release-" + std::to_string(GetCurrentProcessId());
    CKernelHandle heldEvent(CreateEventA(nullptr, TRUE, FALSE, held.c_str()));
    CKernelHandle releaseEvent(CreateEventA(nullptr, TRUE, FALSE, release.c_str()));
    ASSERT_TRUE(heldEvent && releaseEvent);

    CKernelHandle child = StartProgram(Child() + " hold " + held + " " + release);
    ASSERT_TRUE(child);
    const HANDLE waits[2] = {heldEvent.Get(), child.Get()};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, waits, FALSE, INFINITE))
        << "the child ended with " << ExitCodeOf(child.Get()) << " before taking the lock";

    EXPECT_FALSE(TryTakeLock(lock));
    EXPECT_EQ(1, *lock);

    SetEvent(releaseEvent.Get());
    WaitForSingleObject(child.Get(), INFINITE);
    EXPECT_EQ(0u, ExitCodeOf(child.Get()));
    EXPECT_TRUE(TryTakeLock(lock));
    InterlockedExchange(lock, 0);
}

TEST(SharedText, UnusableTextsRefusedWithoutChange)
{
    ASSERT_EQ(1, SetSharedText("keep"));

    EXPECT_EQ(0, SetSharedText(nullptr));

    CPages pages(3);
    std::memcpy(pages.At(1), "no access", 10);
    std::memcpy(pages.At(2), "guarded", 8);
    pages.Protect(1, PAGE_NOACCESS);
    pages.Protect(2, PAGE_READWRITE | PAGE_GUARD);
    EXPECT_EQ(0, SetSharedText(pages.At(1)));
    EXPECT_EQ(0, SetSharedText(pages.At(2)));
    // A text that runs into an unreadable page before its terminator.
    std::memset(pages.At(1) - 10, 'x', 10);
    EXPECT_EQ(0, SetSharedText(pages.At(1) - 10));

    const std::string tooLong(128, 'y');
    EXPECT_EQ(0, SetSharedText(tooLong.c_str()));
    EXPECT_EQ(0, SetSharedText(std::string(300, 'z').c_str()));
    EXPECT_EQ("keep", SharedText());

    // A page that is gone.
    auto freed = static_cast<char *>(VirtualAlloc(nullptr, CPages::Page(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, freed);
    std::memcpy(freed, "freed", 6);
    ASSERT_TRUE(VirtualFree(freed, 0, MEM_RELEASE));
    EXPECT_EQ(0, SetSharedText(freed));
    EXPECT_EQ("keep", SharedText());

    const std::string longest(127, 'w');
    EXPECT_EQ(1, SetSharedText(longest.c_str()));
    EXPECT_EQ(longest, SharedText());
}

TEST(SharedText, UnwritableBuffersRefused)
{
    ASSERT_EQ(1, SetSharedText("copied"));
    EXPECT_EQ(0, GetSharedText(nullptr));

    CPages pages(2);
    std::memcpy(pages.At(0), "read only", 10);
    pages.Protect(0, PAGE_READONLY);
    EXPECT_EQ(0, GetSharedText(pages.At(0)));
    EXPECT_STREQ("read only", pages.At(0));

    // 127 writable bytes before an inaccessible page: too small for the slot.
    pages.Protect(0, PAGE_READWRITE);
    pages.Protect(1, PAGE_NOACCESS);
    EXPECT_EQ(0, GetSharedText(pages.At(1) - 127));
    // Exactly 128: enough.
    EXPECT_EQ(1, GetSharedText(pages.At(1) - 128));
    EXPECT_STREQ("copied", pages.At(1) - 128);
}
