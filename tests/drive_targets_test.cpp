// drive_targets_test.cpp - GetDriveTargets through the DLL's export: the
// argument checks against real page protections, and the hand-over of the
// platform library's results and the trace.
#include "Sefrabox.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Collects the trace lines this process writes to the debugger channel:
// OutputDebugStringA raises DBG_PRINTEXCEPTION_C, which a vectored handler
// sees before the system's own handler consumes it.
class TraceCapture {
public:
    TraceCapture()
    {
        s_active = this;
        m_handler = AddVectoredExceptionHandler(1, &TraceCapture::Handler);
    }
    ~TraceCapture()
    {
        RemoveVectoredExceptionHandler(m_handler);
        s_active = nullptr;
    }
    TraceCapture(const TraceCapture &) = delete;
    TraceCapture &operator=(const TraceCapture &) = delete;

    // Number of captured lines that start with prefix.
    int CountStartingWith(const std::string &prefix)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        int count = 0;
        for (const auto &l : m_lines)
            if (l.compare(0, prefix.size(), prefix) == 0)
                ++count;
        return count;
    }

private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS *info)
    {
        const EXCEPTION_RECORD *r = info->ExceptionRecord;
        if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2 && s_active) {
            const char *text = reinterpret_cast<const char *>(r->ExceptionInformation[1]);
            std::lock_guard<std::mutex> lock(s_active->m_mutex);
            s_active->m_lines.emplace_back(text);
        }
        return EXCEPTION_CONTINUE_SEARCH;
    }

    static TraceCapture *s_active;
    PVOID m_handler = nullptr;
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
};
TraceCapture *TraceCapture::s_active = nullptr;

// Two pages: the first read-write, the second with the given protection, so
// that a block running over the boundary meets it.
class Pages {
public:
    explicit Pages(DWORD secondProtect)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        m_page = si.dwPageSize;
        m_base = static_cast<char *>(VirtualAlloc(nullptr, 2 * m_page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        if (m_base)
            VirtualProtect(m_base + m_page, m_page, secondProtect, &old);
    }
    ~Pages()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    Pages(const Pages &) = delete;
    Pages &operator=(const Pages &) = delete;

    char *First() const { return m_base; }
    char *Second() const { return m_base + m_page; }
    // n bytes before the boundary.
    char *BeforeBoundary(size_t n) const { return m_base + m_page - n; }

private:
    char *m_base = nullptr;
    size_t m_page = 0;
};

bool AllBytes(const void *p, size_t cb, unsigned char value)
{
    const auto *b = static_cast<const unsigned char *>(p);
    for (size_t k = 0; k < cb; ++k)
        if (b[k] != value)
            return false;
    return true;
}

class GetDriveTargetsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&m_record, 0xCC, sizeof m_record);
        std::memset(m_path, 0xCC, sizeof m_path);
        std::memset(m_name, 0xCC, sizeof m_name);
    }
    bool Untouched() const
    {
        return AllBytes(&m_record, sizeof m_record, 0xCC) && AllBytes(m_path, sizeof m_path, 0xCC) &&
               AllBytes(m_name, sizeof m_name, 0xCC);
    }
    bool Zeroed() const
    {
        return AllBytes(&m_record, sizeof m_record, 0) && AllBytes(m_path, sizeof m_path, 0) &&
               AllBytes(m_name, sizeof m_name, 0);
    }

    FILE_OPERATION m_record;
    char m_path[512];
    char m_name[512];
};

TEST_F(GetDriveTargetsTest, UnusableRecordIsRefusedBeforeAnythingIsWritten)
{
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(nullptr, nullptr, m_path, 512, m_name, 512, 0, 7, 1));

    Pages readOnly(PAGE_READONLY);
    ASSERT_NE(nullptr, readOnly.First());
    auto *inReadOnly = reinterpret_cast<FILE_OPERATION *>(readOnly.Second());
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(nullptr, inReadOnly, m_path, 512, m_name, 512, 0, 7, 1));
    // 261 bytes that run 100 bytes into the read-only page.
    auto *straddling = reinterpret_cast<FILE_OPERATION *>(readOnly.BeforeBoundary(161));
    std::memset(straddling, 0xCC, 161);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(nullptr, straddling, m_path, 512, m_name, 512, 0, 7, 1));
    EXPECT_TRUE(AllBytes(straddling, 161, 0xCC));
    EXPECT_TRUE(Untouched());
}

TEST_F(GetDriveTargetsTest, UnusableTextBuffersAreRefusedBeforeAnythingIsWritten)
{
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(nullptr, &m_record, nullptr, 512, m_name, 512, 0, 7, 1));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(nullptr, &m_record, m_path, 512, nullptr, 512, 0, 7, 1));

    Pages noAccess(PAGE_NOACCESS);
    ASSERT_NE(nullptr, noAccess.First());
    char *tail = noAccess.BeforeBoundary(64);
    std::memset(tail, 0xCC, 64);
    // Readable only for 64 of the 512 bytes the caller names.
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(nullptr, &m_record, tail, 512, m_name, 512, 0, 7, 1));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(nullptr, &m_record, m_path, 512, tail, 512, 0, 7, 1));
    EXPECT_TRUE(AllBytes(tail, 64, 0xCC));

    // The buffers are written, so a read-only one is refused as well.
    Pages readOnly(PAGE_READONLY);
    ASSERT_NE(nullptr, readOnly.First());
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              GetDriveTargets(nullptr, &m_record, readOnly.Second(), 512, m_name, 512, 0, 7, 1));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              GetDriveTargets(nullptr, &m_record, m_path, 512, readOnly.Second(), 512, 0, 7, 1));
    EXPECT_TRUE(Untouched());
}

TEST_F(GetDriveTargetsTest, BadPlatformFileIsRefusedAfterTheBuffersWereZeroed)
{
    std::string overlong(129, 'p');
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(overlong.c_str(), &m_record, m_path, 512, m_name, 512, 0, 7, 1));
    EXPECT_TRUE(Zeroed());

    SetUp();
    Pages noAccess(PAGE_NOACCESS);
    ASSERT_NE(nullptr, noAccess.First());
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              GetDriveTargets(noAccess.Second(), &m_record, m_path, 512, m_name, 512, 0, 7, 1));
    EXPECT_TRUE(Zeroed());

    // An unterminated name running into an unreadable page.
    SetUp();
    char *unterminated = noAccess.BeforeBoundary(16);
    std::memset(unterminated, 'q', 16);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetDriveTargets(unterminated, &m_record, m_path, 512, m_name, 512, 0, 7, 1));
    EXPECT_TRUE(Zeroed());
}

TEST_F(GetDriveTargetsTest, PlatformFileOf128CharactersReachesThePlatformLibrary)
{
    TraceCapture trace;
    std::string longest(128, 'p');
    const int result = GetDriveTargets(longest.c_str(), &m_record, m_path, 512, m_name, 512, 0, 7, 1);
    // Whatever the platform library answers for a file it does not know,
    // the argument check let the name through and the count line is traced.
    EXPECT_NE(ERROR_INVALID_PARAMETER, result);
    EXPECT_EQ(1, trace.CountStartingWith("lpFileOperation->dwTargetCount = "));
    if (result != 0) {
        EXPECT_EQ(0u, m_record.dwTargetCount);
    }
}

TEST_F(GetDriveTargetsTest, WithoutPlatformTheDriverListIsReturnedWritable)
{
    TraceCapture trace;
    const int result = GetDriveTargets(nullptr, &m_record, m_path, 512, m_name, 512, 0, 7, 1);
    EXPECT_EQ(1, trace.CountStartingWith("lpFileOperation->dwTargetCount = "));
    if (result != 0) {
        // The driver list is not available: its error is passed through.
        EXPECT_NE(ERROR_INVALID_PARAMETER, result);
        EXPECT_TRUE(Zeroed());
        EXPECT_EQ(0, trace.CountStartingWith("stDriverInfo.u8_valid_dev_list_count = "));
        return;
    }
    EXPECT_EQ(1, trace.CountStartingWith("stDriverInfo.u8_valid_dev_list_count = "));
    ASSERT_LE(m_record.dwTargetCount, 27u);
    EXPECT_EQ(int(m_record.dwTargetCount), trace.CountStartingWith("lpFileOperation->uchTargetWritable["));
    for (unsigned n = 0; n < m_record.dwTargetCount; ++n) {
        const char *path = m_record.lpTargetPath[n];
        const char *name = m_record.lpTargetName[n];
        ASSERT_EQ(m_path + 3 * n, path) << n;
        ASSERT_EQ(m_name + 3 * n, name) << n;
        EXPECT_EQ(':', path[1]);
        EXPECT_EQ('\0', path[2]);
        EXPECT_NE('C', path[0]);
        EXPECT_STREQ(path, name);
        EXPECT_EQ(1, m_record.uchTargetWritable[n]);
    }
    EXPECT_EQ(0u, m_record.reserved);
    EXPECT_EQ(nullptr, m_record.lpTitle);
}

// The stand-in platform library's configuration for one test: a disk list
// and one platform with drive rules, in a file of this process's own.
class PlatformConfig {
public:
    explicit PlatformConfig(const std::string &text)
    {
        char dir[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, dir);
        m_path = std::string(dir) + "drive_targets_" + std::to_string(GetCurrentProcessId()) + ".ini";
        FILE *f = std::fopen(m_path.c_str(), "wb");
        if (f) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
        SetEnvironmentVariableA("SEFRA_STANDIN_CONFIG", m_path.c_str());
    }
    ~PlatformConfig()
    {
        SetEnvironmentVariableA("SEFRA_STANDIN_CONFIG", nullptr);
        DeleteFileA(m_path.c_str());
    }
    PlatformConfig(const PlatformConfig &) = delete;
    PlatformConfig &operator=(const PlatformConfig &) = delete;

private:
    std::string m_path;
};

// Disks: C and D on disk 0, E and F on disk 1. Work's rules: C readable,
// D readable, then D writable again, E hidden; F has no rule.
const char kWorkConfig[] = "[Platforms]\r\nCount=1\r\n"
                           "[Platform1]\r\nNumber=1\r\nKind=1\r\nFile=C:\\demo\\Work.vpf\r\nName=Work\r\n"
                           "Rules=4\r\nRule1=3,0,0x00007E00\r\nRule2=3,0,0x0A007E00\r\nRule3=5,0,0x0A007E00\r\n"
                           "Rule4=1,1,0x00000800\r\n"
                           "[Disks]\r\nCount=4\r\nDevice1=C,0,0x00007E00\r\nDevice2=D,0,0x0A007E00\r\n"
                           "Device3=E,1,0x00000800\r\nDevice4=F,1,0x00000900\r\n";

std::string Listed(const FILE_OPERATION &record)
{
    std::string s;
    for (unsigned n = 0; n < record.dwTargetCount && n < 27; ++n)
        s += std::string(record.lpTargetPath[n]) + (record.uchTargetWritable[n] ? "w " : "r ");
    return s;
}

TEST_F(GetDriveTargetsTest, PlatformRulesFromThePlatformLibraryApply)
{
    PlatformConfig config(kWorkConfig);
    TraceCapture trace;
    EXPECT_EQ(0, GetDriveTargets("C:\\demo\\Work.vpf", &m_record, m_path, 512, m_name, 512, 0, 7, 1));
    EXPECT_EQ("D:w F:w ", Listed(m_record));
    EXPECT_EQ(m_path, m_record.lpTargetPath[0]);
    EXPECT_EQ(m_path + 3, m_record.lpTargetPath[1]);
    EXPECT_EQ(m_name + 3, m_record.lpTargetName[1]);
    EXPECT_STREQ("F:", m_record.lpTargetName[1]);
    EXPECT_EQ(1, trace.CountStartingWith("nTarget = 1, Hide"));
    EXPECT_EQ(1, trace.CountStartingWith("nTarget = 0, Readable"));
    EXPECT_EQ(1, trace.CountStartingWith("nTarget = 0, Writable"));
    EXPECT_EQ(1, trace.CountStartingWith("stDriverInfo.u8_valid_dev_list_count = 0x04 (At Line: "));
    EXPECT_EQ(1, trace.CountStartingWith("lpFileOperation->uchTargetWritable[0] = 1 (At Line: "));
    EXPECT_EQ(1, trace.CountStartingWith("lpFileOperation->uchTargetWritable[1] = 1 (At Line: "));
    EXPECT_EQ(1, trace.CountStartingWith("lpFileOperation->dwTargetCount = 2 (At Line: "));

    SetUp();
    EXPECT_EQ(0, GetDriveTargets("C:\\demo\\Work.vpf", &m_record, m_path, 512, m_name, 512, 0, 7, 0));
    EXPECT_EQ("C:r D:w F:w ", Listed(m_record));

    // Shifted rule disks match other devices: none of these rules applies.
    SetUp();
    EXPECT_EQ(0, GetDriveTargets("C:\\demo\\Work.vpf", &m_record, m_path, 512, m_name, 512, 1, 7, 0));
    EXPECT_EQ("C:w D:w E:w F:w ", Listed(m_record));

    SetUp();
    EXPECT_EQ(0, GetDriveTargets(nullptr, &m_record, m_path, 512, m_name, 512, 0, 7, 0));
    EXPECT_EQ("C:w D:w E:w F:w ", Listed(m_record));

    SetUp();
    EXPECT_EQ(ERROR_BUFFER_OVERFLOW, GetDriveTargets(nullptr, &m_record, m_path, 5, m_name, 512, 0, 7, 1));
    EXPECT_EQ("D:w ", Listed(m_record));
    EXPECT_EQ('\xCC', m_path[5]); // nothing beyond the stated size
}

TEST_F(GetDriveTargetsTest, PlatformLibraryErrorsArePassedThrough)
{
    PlatformConfig config(kWorkConfig);
    TraceCapture trace;
    EXPECT_EQ(ERROR_NOT_FOUND, GetDriveTargets("C:\\demo\\Other.vpf", &m_record, m_path, 512, m_name, 512, 0, 7, 1));
    EXPECT_TRUE(Zeroed());
    EXPECT_EQ(1, trace.CountStartingWith("lpFileOperation->dwTargetCount = 0 (At Line: "));
    EXPECT_EQ(0, trace.CountStartingWith("stDriverInfo.u8_valid_dev_list_count = "));
}

} // namespace
