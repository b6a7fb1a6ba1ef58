// mount_fixture.h - what the mount and link tests share: a store container
// in a fresh temporary folder, buffers that end at an inaccessible page,
// file helpers, the child process and the check that no drive is left.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// A temporary folder holding a container "Sefra.vpf" (64 KiB, boot block
// with the given dirty byte at 0x41); removed with everything in it.
class CTempStore {
public:
    explicit CTempStore(BYTE dirty = 1);
    ~CTempStore();
    CTempStore(const CTempStore &) = delete;
    CTempStore &operator=(const CTempStore &) = delete;

    const std::string &Folder() const { return m_folder; }
    std::string Container() const { return m_folder + "\\Sefra.vpf"; }
    std::string ContentFolder() const { return Container() + ".files"; }

private:
    std::string m_folder;
};

// size bytes that end where an inaccessible page begins, so a write past
// them faults; the page itself can be made read-only.
class CGuardedBuffer {
public:
    explicit CGuardedBuffer(size_t size, DWORD protect = PAGE_READWRITE);
    ~CGuardedBuffer();
    CGuardedBuffer(const CGuardedBuffer &) = delete;
    CGuardedBuffer &operator=(const CGuardedBuffer &) = delete;
    char *Get() const { return m_data; }

private:
    void *m_base = nullptr;
    char *m_data = nullptr;
};

bool WriteWholeFile(const std::string &path, const std::string &data);
bool ReadWholeFile(const std::string &path, std::string &data);
bool PathExists(const std::string &path);
bool DriveListed(char letter);
// Runs "standin_unmount_child <drive> <handle>"; its exit code, or ~0u.
DWORD UnmountInChild(const std::string &drive, DWORD handle);

// Records the drives at start and fails a test that leaves one behind.
class MountTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    DWORD m_drivesBefore = 0;
};
