// linked_world_test.h - the fixture of the tests that link the library's
// code and run its dialog object in this process on the demo world: the
// module's resources are this program's own, and so is the shared block the
// test watches.
#pragma once

#include "module/app.h"
#include "machine/shared_block.h"
#include "store/store_mount.h"
#include "ui/sefrabox_dlg.h"
#include "world_test.h"

class LinkedWorldTest : public DemoWorldTest {
protected:
    void SetUp() override
    {
        DemoWorldTest::SetUp();
        g_hSefraboxInstance = GetModuleHandleA(nullptr);
        m_shared = CSharedView(&g_SharedBlock);
    }

    // Gives back what a successful Initialize holds (the store's volume,
    // the platform channel, the store's mount), as the dialog's end does.
    static void ReleaseStore(CSefraboxDlg &dlg)
    {
        dlg.StateForTests().m_hVolume.Reset();
        dlg.StateForTests().m_hPlatformChannel.Reset();
        UnmountStore();
        g_szVolumeName[0] = '\0';
    }
};
