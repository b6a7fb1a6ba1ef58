// links.cpp - Our_IoCreateSymbolicLink: drive letters that lead to folders.
#include "suite/Kestor.h"

#include "drives.h"
#include "mounts.h"
#include "win/pointers.h"

#include <cstring>
#include <string>

namespace {

// Link targets are longer than paths: a 768-byte device name plus a folder.
constexpr size_t kMaxTarget = 1024;

// The letter of "\DosDevices\X:" or "\??\X:" (either case), else 0.
char LinkLetter(const char *linkName)
{
    static const char *const prefixes[] = {"\\DosDevices\\", "\\??\\"};
    for (const char *prefix : prefixes) {
        const size_t n = strlen(prefix);
        if (_strnicmp(linkName, prefix, n) == 0 && strlen(linkName) == n + 2 && linkName[n + 1] == ':')
            return standin::DriveLetterOf(static_cast<unsigned char>(linkName[n]));
    }
    return 0;
}

} // namespace

extern "C" {

// create 1: the drive leads to target (a device name from
// MakeMountInfoByFileName with a folder tail, an NT path or a DOS path of an
// existing folder); 0: the link is removed (target ignored). 87 bad
// arguments, 3 target folder missing, 85 letter in use, 2 no such link.
DWORD __cdecl Our_IoCreateSymbolicLink(const char *linkName, const char *target, DWORD create)
{
    if (!IsReadableText(linkName) || create > 1)
        return ERROR_INVALID_PARAMETER;
    const char letter = LinkLetter(linkName);
    if (letter == 0)
        return ERROR_INVALID_PARAMETER;
    if (create == 0)
        return standin::UnlinkDrive(letter);
    if (!IsReadableText(target, kMaxTarget) || target[0] == '\0')
        return ERROR_INVALID_PARAMETER;
    return standin::LinkDrive(letter, target);
}

} // extern "C"
