// my_send_to.cpp - MySendTo (export 22, the only one exported by name): one
// Send To request of the shell, read from the process's command line and
// carried out under g_MountVolumeLock by a dialog object that is never shown.
#include "Sefrabox.h"

#include "diagnostics/trace.h"
#include "machine/live_dialog.h"
#include "machine/mount_lock.h"
#include "machine/shared_block.h"
#include "module/leftovers.h"
#include "sendto/busy_marker.h"
#include "sendto/parse_cmdline.h"
#include "sendto/sendto_text.h"
#include "store/ansi_lead_byte.h"
#include "ui/sefrabox_dlg.h"

#include <memory>
#include <new>

namespace {

// A main dialog shown in some process keeps the store mounted and speaks for
// the suite itself: the request then leaves the busy marker alone. A dialog
// address left by a process that died counts as none.
bool IsMainDialogShown() { return g_pSefraboxDlg != 0 && IsRecordedDialogAlive(); }

// Everything between taking and releasing the lock; the locals release the
// second buffer, the marker and the lock in that order on every way out.
DWORD RunSendTo(const char *cmdLine)
{
    CMountVolumeLockHolder lock(kLockPollEntryMs);
    ClearDeadOwnersLeftovers();
    CBusyMarker marker;
    if (!IsMainDialogShown()) {
        const DWORD claimed = marker.Claim();
        if (claimed != ERROR_SUCCESS)
            return claimed;
    }

    char sefraName[kSefraNameBytes] = {};
    char firstList[kFirstSrcPathBytes] = {};
    DWORD capacity = kFirstSrcPathBytes;
    char *list = firstList;
    std::unique_ptr<char[]> secondList;
    DWORD result = ParseCmdLine(cmdLine, sefraName, list, &capacity);
    if (result == ERROR_BUFFER_OVERFLOW) {
        SB_TRACE("ParseCmdLine return ERROR_BUFFER_OVERFLOW");
        secondList.reset(new (std::nothrow) char[capacity]());
        if (!secondList)
            return ERROR_NOT_ENOUGH_MEMORY;
        list = secondList.get();
        result = ParseCmdLine(cmdLine, sefraName, list, &capacity);
    }
    if (result != ERROR_SUCCESS)
        return result;
    // A list of nothing but quotes converts to no name: the shell is never
    // asked to copy an empty source.
    if (!ConvertToFileList(list, capacity, IsAnsiLeadByte) || list[0] == '\0')
        return ERROR_INVALID_PARAMETER;

    CSefraboxDlg dlg(nullptr);
    return static_cast<DWORD>(dlg.SendToSefra(sefraName, list));
}

} // namespace

extern "C" int __cdecl MySendTo(void)
{
    const char *cmdLine = GetCommandLineA();
    SB_TRACE("MySendTo() and CmdLine = %s", cmdLine ? cmdLine : "");
    DWORD result = ERROR_SUCCESS;
    try {
        result = RunSendTo(cmdLine);
    } catch (const std::bad_alloc &) {
        result = ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        // No exception crosses the export boundary; the lock went with it.
        result = ERROR_INVALID_FUNCTION;
    }
    SB_TRACE("dwErrCode = 0x%08X", static_cast<unsigned>(result));
    return static_cast<int>(result);
}
