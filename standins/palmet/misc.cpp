// misc.cpp - reset code and module-relative paths.
#include "suite/Palmet.h"

#include "bounded_text.h"
#include "platform_config.h"
#include "win/pointers.h"

#include <cstring>
#include <string>

extern "C" {

// The code is [Service] ResetCode of the configuration, else a fixed code
// of 18 characters. A buffer too small for the whole code gets as much as
// fits, terminated, and the result 111.
DWORD __cdecl GetResetCode(char *buffer, DWORD size)
{
    if (size == 0 || !IsWritableBlock(buffer, size))
        return ERROR_INVALID_PARAMETER;
    std::string code = palmet::kDefaultResetCode;
    if (palmet::ConfigStatus() == 0)
        code = palmet::ConfigString("Service", "ResetCode", palmet::kDefaultResetCode);
    const size_t copied = palmet::CopyTextCut(buffer, size, code.data(), code.size());
    return copied == code.size() ? 0 : ERROR_BUFFER_OVERFLOW;
}

// outPath (MAX_PATH bytes) = folder of module (the program when null) + "\" +
// fileName. 87 for unusable arguments, 111 when the path does not fit (the
// buffer then holds the empty text).
DWORD __cdecl GetModuleFilePath(char *outPath, const char *fileName, HINSTANCE module)
{
    if (!IsWritableBlock(outPath, MAX_PATH) || !IsReadableText(fileName, MAX_PATH - 1))
        return ERROR_INVALID_PARAMETER;
    outPath[0] = '\0';
    char modulePath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(module, modulePath, sizeof modulePath);
    if (length == 0)
        return GetLastError() ? GetLastError() : ERROR_INVALID_PARAMETER;
    if (length >= sizeof modulePath)
        return ERROR_BUFFER_OVERFLOW;
    // The last backslash, found character by character so that a trail
    // byte equal to '\' is not taken for one.
    size_t folderLength = 0;
    for (const char *p = modulePath; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            folderLength = static_cast<size_t>(p - modulePath) + 1;
    }
    const size_t nameLength = strlen(fileName);
    if (folderLength + nameLength + 1 > MAX_PATH)
        return ERROR_BUFFER_OVERFLOW;
    memcpy(outPath, modulePath, folderLength);
    memcpy(outPath + folderLength, fileName, nameLength + 1);
    return 0;
}

} // extern "C"
