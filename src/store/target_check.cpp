// target_check.cpp - IsUsableTarget with the ANSI code page's lead bytes.
#include "store/target_check.h"

#include "diagnostics/trace.h"
#include "store/ansi_lead_byte.h"
#include "store/mbcs_text.h"

#include <windows.h>

bool IsUsableTarget(const char *target)
{
    if (IsPlainFolderName(target, IsAnsiLeadByte))
        return true;
    SB_TRACE("Target '%s' is not a folder name in the volume root, record ignored", target ? target : "");
    return false;
}
