// mount_table.h - the machine-wide record of mounts and drive links.
//
// Mounts outlive the process that made them (another process unmounts with
// the handle), so they are recorded in the registry:
//   HKLM\Software\SefraStandins\Mounts          "LastHandle" (REG_DWORD)
//   HKLM\Software\SefraStandins\Mounts\<handle> "Drive" ("V:"), "Container",
//                                                "Folder" (REG_SZ)
//   HKLM\Software\SefraStandins\Links           "<letter>" = folder (REG_SZ)
// <handle> is the handle in eight upper-case hex digits. Every reader and
// writer holds CMountTableLock, a named mutex, around its whole operation.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace standin {

struct MountRecord {
    DWORD handle = 0;
    char letter = 0;
    std::string container; // full path of the container file
    std::string folder;    // full path of its content folder
};

// Holds the table's mutex for its lifetime (an abandoned mutex counts as
// taken: its owner died, the table itself is always consistent).
class CMountTableLock {
public:
    CMountTableLock();
    ~CMountTableLock();
    CMountTableLock(const CMountTableLock &) = delete;
    CMountTableLock &operator=(const CMountTableLock &) = delete;

private:
    CKernelHandle m_mutex;
    bool m_held = false;
};

// Records a new mount and returns its handle (never 0) in record.handle.
DWORD AddMount(MountRecord &record);
bool FindMount(DWORD handle, MountRecord &record);
void RemoveMount(DWORD handle);
std::vector<MountRecord> ListMounts();

DWORD AddLink(char letter, const std::string &folder);
bool FindLink(char letter, std::string &folder);
void RemoveLink(char letter);

// Letters held by recorded mounts and links (bit 0 = A).
DWORD RecordedDriveMask();

} // namespace standin
