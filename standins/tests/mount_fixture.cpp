// mount_fixture.cpp - helpers of the mount and link tests.
#include "mount_fixture.h"

#include "process.h"

#include <cstdio>
#include <cstring>

CTempStore::CTempStore(BYTE dirty)
{
    std::string image(64 * 1024, '\0');
    memcpy(&image[3], "SEFRAVPF", 8);
    image[0x41] = static_cast<char>(dirty);
    image[510] = '\x55';
    image[511] = '\xAA';
    WriteText(Container(), image);
}

CGuardedBuffer::CGuardedBuffer(size_t size, DWORD protect)
{
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    m_base = VirtualAlloc(nullptr, 2 * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!m_base)
        return;
    DWORD old = 0;
    VirtualProtect(static_cast<char *>(m_base) + page, page, PAGE_NOACCESS, &old);
    m_data = static_cast<char *>(m_base) + page - size;
    memset(m_data, 0, size);
    VirtualProtect(m_base, page, protect, &old);
}

CGuardedBuffer::~CGuardedBuffer()
{
    if (m_base)
        VirtualFree(m_base, 0, MEM_RELEASE);
}

bool DriveListed(char letter) { return (GetLogicalDrives() & (1u << (letter - 'A'))) != 0; }

DWORD UnmountInChild(const std::string &drive, DWORD handle)
{
    char handleText[16] = {};
    snprintf(handleText, sizeof handleText, "%08lX", static_cast<unsigned long>(handle));
    return RunProgram(BinProgram("standin_unmount_child.exe") + " " + drive + " " + handleText);
}

void MountTest::SetUp() { m_before = TakeMachineState(); }

void MountTest::TearDown() { EXPECT_EQ(m_before, TakeMachineState()) << "something was left behind"; }
