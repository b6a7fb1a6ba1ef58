// disk_info.cpp - the disk driver's device list and a platform's drive rules.
//
// DRIVER_INFO (100 bytes): byte 0 format version (1), byte 1 device count,
// then from offset 5 one 6-byte entry per device: the device byte (drive
// letter index << 3 | disk number) and the 32-bit partition identity,
// little-endian and unaligned; the sixth byte of an entry is zero.
//
// TARGET_CONFIG (100 bytes): byte 0 bit 7 set when the platform has
// visibility rules, byte 1 rule count, then from offset 4 one 6-byte entry
// per rule: flags (bit 0 in use, bit 1 readable, bit 2 writable), disk
// number (bits 2 to 0), 32-bit partition identity.
//
// Both come from the platform configuration ([Disks] and the platforms'
// sections); unused bytes are zero.
#include "suite/Palmet.h"

#include "platform_config.h"
#include "win/pointers.h"

#include <cstring>
#include <string>

namespace {

constexpr size_t kRecordSize = 100;
constexpr DWORD kMaxDevices = 15;
constexpr DWORD kMaxRules = 16;

void PutDword(BYTE *at, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<BYTE>(value >> (8 * i));
}

// "C" or "c" or a number 0..31 for the drive letter index.
bool ParseLetterIndex(const std::string &text, DWORD &index)
{
    if (text.size() == 1 && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        index = static_cast<DWORD>((text[0] & ~0x20) - 'A');
        return true;
    }
    return palmet::ParseNumber(text, index) && index < 32;
}

// Case-insensitive match of a platform file against the configured one,
// either the whole text or only the names after the last backslash.
bool SameFile(const std::string &configured, const char *asked)
{
    if (configured.empty())
        return false;
    if (lstrcmpiA(configured.c_str(), asked) == 0)
        return true;
    const size_t slash = configured.find_last_of("\\/");
    const char *askedName = asked;
    for (const char *p = asked; *p; p = CharNextA(p)) {
        if (*p == '\\' || *p == '/')
            askedName = p + 1;
    }
    const std::string configuredName = slash == std::string::npos ? configured : configured.substr(slash + 1);
    return lstrcmpiA(configuredName.c_str(), askedName) == 0;
}

} // namespace

extern "C" {

// The driver argument (7 from the caller) selects nothing here; "one" must
// be 1, the only request this library knows.
DWORD __cdecl GetDriverInfo(BYTE *driverInfo100, DWORD, DWORD one)
{
    if (!IsWritableBlock(driverInfo100, kRecordSize) || one != 1)
        return ERROR_INVALID_PARAMETER;
    memset(driverInfo100, 0, kRecordSize);
    const DWORD status = palmet::ConfigStatus();
    if (status != 0)
        return status;
    const DWORD configured = palmet::ConfigNumber("Disks", "Count", 0);
    DWORD n = 0;
    for (DWORD i = 1; i <= configured && n < kMaxDevices; ++i) {
        const std::string key = "Device" + std::to_string(i);
        const std::vector<std::string> f = palmet::SplitFields(palmet::ConfigString("Disks", key.c_str()));
        DWORD letter = 0, disk = 0, identity = 0;
        if (f.size() != 3 || !ParseLetterIndex(f[0], letter) || !palmet::ParseNumber(f[1], disk) || disk > 7 ||
            !palmet::ParseNumber(f[2], identity))
            return ERROR_BAD_CONFIGURATION;
        BYTE *entry = driverInfo100 + 5 + 6 * n;
        entry[0] = static_cast<BYTE>(letter << 3 | disk);
        PutDword(entry + 1, identity);
        ++n;
    }
    driverInfo100[0] = 1;
    driverInfo100[1] = static_cast<BYTE>(n);
    return 0;
}

DWORD __cdecl GetTargetConfig(const char *platformFile, BYTE *targetConfig100)
{
    if (!IsReadableText(platformFile) || !IsWritableBlock(targetConfig100, kRecordSize))
        return ERROR_INVALID_PARAMETER;
    memset(targetConfig100, 0, kRecordSize);
    const DWORD status = palmet::ConfigStatus();
    if (status != 0)
        return status;
    for (const palmet::PlatformEntry &p : palmet::ConfigPlatforms()) {
        if (!SameFile(p.file, platformFile))
            continue;
        const char *section = p.section.c_str();
        const DWORD configured = palmet::ConfigNumber(section, "Rules", 0);
        DWORD n = 0;
        for (DWORD j = 1; j <= configured && n < kMaxRules; ++j) {
            const std::string key = "Rule" + std::to_string(j);
            const std::vector<std::string> f = palmet::SplitFields(palmet::ConfigString(section, key.c_str()));
            DWORD flags = 0, disk = 0, identity = 0;
            if (f.size() != 3 || !palmet::ParseNumber(f[0], flags) || flags > 0xFF ||
                !palmet::ParseNumber(f[1], disk) || disk > 7 || !palmet::ParseNumber(f[2], identity))
                return ERROR_BAD_CONFIGURATION;
            BYTE *entry = targetConfig100 + 4 + 6 * n;
            entry[0] = static_cast<BYTE>(flags);
            entry[1] = static_cast<BYTE>(disk);
            PutDword(entry + 2, identity);
            ++n;
        }
        if (palmet::ConfigNumber(section, "Restricted", n > 0 ? 1 : 0) != 0)
            targetConfig100[0] = 0x80;
        targetConfig100[1] = static_cast<BYTE>(n);
        return 0;
    }
    return ERROR_NOT_FOUND;
}

} // extern "C"
