// busy_marker.cpp - CBusyMarker (see busy_marker.h).
#include "sendto/busy_marker.h"

#include "diagnostics/trace.h"
#include "res/resource.h"
#include "suite/Palmet.h"
#include "win/res_string.h"

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kGuardPollMs = 100;
// ReadMappingText fills a 270-byte buffer.
constexpr size_t kHolderTitleBytes = 270;

} // namespace

DWORD CBusyMarker::Claim()
{
    while (!AcquireMappingGuard())
        Sleep(kGuardPollMs);
    CKernelHandle mapping(
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBusyMarkerBytes, kBusyMarkerName));
    const DWORD error = GetLastError();
    ReleaseMappingGuard();

    const std::string title = LoadResString(IDS_MODULE_TITLE);
    if (!mapping) {
        SB_TRACE_FAILED(error, "CreateFileMapping()");
        MessageBoxA(nullptr, GetErrorText(error).c_str(), title.c_str(), MB_OK);
        return error;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        char holder[kHolderTitleBytes] = {};
        ReadMappingText(mapping.Get(), holder);
        holder[sizeof holder - 1] = '\0';
        mapping.Reset();
        // The format holds one %s; the holder's title is at most 269 bytes.
        char text[1024] = {};
        snprintf(text, sizeof text, LoadResString(IDS_BUSY_MARKER_HELD).c_str(), holder);
        MessageBoxA(nullptr, text, title.c_str(), MB_ICONSTOP);
        return ERROR_ALREADY_EXISTS;
    }
    WriteMappingText(mapping.Get(), title.c_str());
    m_hMapping = std::move(mapping);
    return ERROR_SUCCESS;
}
