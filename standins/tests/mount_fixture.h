// mount_fixture.h - what the mount and link tests share: a store container
// in a fresh scratch folder, buffers that end at an inaccessible page, the
// child process and the check that no drive, mount or link is left.
#pragma once

#include "files.h"
#include "machine_state.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// A temporary folder holding a container "Sefra.vpf" (64 KiB, boot block
// with the given dirty byte at 0x41); removed with everything in it.
class CTempStore {
public:
    explicit CTempStore(BYTE dirty = 1);
    CTempStore(const CTempStore &) = delete;
    CTempStore &operator=(const CTempStore &) = delete;

    const std::string &Folder() const { return m_folder.Path(); }
    std::string Container() const { return m_folder / "Sefra.vpf"; }
    std::string ContentFolder() const { return Container() + ".files"; }

private:
    CScratchFolder m_folder;
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

bool DriveListed(char letter);
// Runs "standin_unmount_child <drive> <handle>"; its exit code, or MAXDWORD.
DWORD UnmountInChild(const std::string &drive, DWORD handle);

// Fails a test that leaves a drive, a mount or a link behind.
class MountTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    MachineState m_before;
};
