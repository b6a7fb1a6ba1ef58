// platform.cpp - the platform service: channel, platform lists and requests.
//
// The "service" is the platform configuration file: the channel is a read
// handle on that file, and requests are appended as lines to the request
// log the configuration names ([Service] RequestLog, default
// "Requests.log" beside the configuration).
#include "suite/Palmet.h"

#include "bounded_text.h"
#include "platform_config.h"
#include "win/handles.h"
#include "win/pointers.h"

#include <cstdio>
#include <cstring>

namespace {

// The value QueryPlatformChannel hands out and OpenPlatformChannel expects.
constexpr DWORD kChannelQuery = 0x53464348; // "SFCH"

void PutText(PALMET_TEXT_LIST *list, DWORD index, const std::string &text)
{
    palmet::CopyTextCut(list->text[index], MAX_PATH, text.data(), text.size());
}

} // namespace

extern "C" {

int __cdecl GetPlatformServiceState(void)
{
    if (palmet::ConfigStatus() != 0)
        return 0;
    return palmet::ConfigNumber("Service", "Running", 0) != 0 ? 1 : 0;
}

DWORD __cdecl QueryPlatformChannel(void) { return kChannelQuery; }

HANDLE __cdecl OpenPlatformChannel(DWORD query)
{
    if (query != kChannelQuery) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path;
    if (!palmet::ConfigPath(path)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Platform data is readable when the channel is an open file handle whose
// content can be read, i.e. the configuration is there and not locked.
DWORD __cdecl PreparePlatformChannel(HANDLE channel)
{
    if (channel == INVALID_HANDLE_VALUE || channel == nullptr || GetFileType(channel) != FILE_TYPE_DISK)
        return ERROR_INVALID_HANDLE;
    char probe[16];
    DWORD read = 0;
    OVERLAPPED at{};
    if (!ReadFile(channel, probe, sizeof probe, &read, &at)) {
        const DWORD error = GetLastError();
        if (error != ERROR_HANDLE_EOF)
            return error;
    }
    return palmet::ConfigStatus();
}

// Fills the four lists in parallel, one entry per configured platform (all
// kinds, in configuration order, at most PALMET_MAX_PLATFORMS). The numeric
// arguments (1, 0, 3 from the dialog) select nothing in this library.
// [Service] InitVPFInfo=<code>, when not 0, makes the service fail with that
// code and list nothing, as an unreachable or failing service does.
DWORD __cdecl InitVPFInfo(PALMET_TEXT_LIST *files, int, int, PALMET_TEXT_LIST *names, PALMET_DWORD_LIST *kinds,
                          PALMET_DWORD_LIST *numbers, int)
{
    if (!IsWritableBlock(files, sizeof *files) || !IsWritableBlock(names, sizeof *names) ||
        !IsWritableBlock(kinds, sizeof *kinds) || !IsWritableBlock(numbers, sizeof *numbers))
        return ERROR_INVALID_PARAMETER;
    memset(files, 0, sizeof *files);
    memset(names, 0, sizeof *names);
    memset(kinds, 0, sizeof *kinds);
    memset(numbers, 0, sizeof *numbers);
    const DWORD status = palmet::ConfigStatus();
    if (status != 0)
        return status;
    const DWORD failure = palmet::ConfigNumber("Service", "InitVPFInfo", 0);
    if (failure != 0)
        return failure;
    DWORD n = 0;
    for (const palmet::PlatformEntry &p : palmet::ConfigPlatforms()) {
        if (n == PALMET_MAX_PLATFORMS)
            break;
        PutText(files, n, p.file);
        PutText(names, n, p.name);
        kinds->value[n] = p.kind;
        numbers->value[n] = p.number;
        ++n;
    }
    files->count = names->count = kinds->count = numbers->count = n;
    return 0;
}

// Appends "<code> <a1> <a2> <a3> <text>" and CR LF to the request log; a
// null text is written as "(null)".
DWORD __cdecl SendPlatformRequest(HANDLE channel, DWORD code, DWORD a1, DWORD a2, DWORD a3, const char *text)
{
    if (channel == INVALID_HANDLE_VALUE || channel == nullptr)
        return ERROR_INVALID_HANDLE;
    if (text && !IsReadableText(text))
        return ERROR_INVALID_PARAMETER;
    const std::string logPath = palmet::BesideConfig(palmet::ConfigString("Service", "RequestLog", "Requests.log"));
    CFileHandle log(CreateFileA(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log)
        return GetLastError();
    char line[400];
    const int length = snprintf(line, sizeof line, "%lu %lu %lu %lu %s\r\n", static_cast<unsigned long>(code),
                                static_cast<unsigned long>(a1), static_cast<unsigned long>(a2),
                                static_cast<unsigned long>(a3), text ? text : "(null)");
    if (length < 0)
        return ERROR_INVALID_PARAMETER;
    const DWORD toWrite = static_cast<DWORD>(length) < sizeof line ? static_cast<DWORD>(length) : sizeof line - 1;
    DWORD written = 0;
    if (!WriteFile(log.Get(), line, toWrite, &written, nullptr))
        return GetLastError();
    return 0;
}

} // extern "C"
