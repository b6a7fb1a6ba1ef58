// dravel.cpp - Dravel_Cleanup.
//
// The stand-in keeps no state in the process between calls: every mount
// and link lives in the machine-wide mount table. Cleaning up therefore
// means forgetting the table's records whose drive is gone (removed by other
// means, e.g. the prefix's drive settings), so that their letters count as
// free again. Drives that still lead to their folders are left alone.
#include "suite/Dravel.h"

#include "drives.h"
#include "mount_table.h"

#include <string>

extern "C" {

void __cdecl Dravel_Cleanup(void)
{
    standin::CMountTableLock lock;
    for (const standin::MountRecord &record : standin::ListMounts())
        if (!standin::DriveLeadsTo(record.letter, record.folder))
            standin::RemoveMount(record.handle);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string folder;
        if (standin::FindLink(letter, folder) && !standin::DriveLeadsTo(letter, folder))
            standin::RemoveLink(letter);
    }
}

} // extern "C"
