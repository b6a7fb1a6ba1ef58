// mount_table.cpp - the registry record of mounts and links.
#include "mount_table.h"

#include "drives.h"

#include <cstdio>
#include <cstdlib>

namespace standin {

namespace {

constexpr char kMountsKey[] = "Software\\SefraStandins\\Mounts";
constexpr char kLinksKey[] = "Software\\SefraStandins\\Links";
constexpr char kMutexName[] = "SefraStandinsMountTable";

std::string HandleName(DWORD handle)
{
    char name[16] = {};
    snprintf(name, sizeof name, "%08lX", static_cast<unsigned long>(handle));
    return name;
}

bool OpenKey(const std::string &path, bool create, CRegKey &key)
{
    if (create)
        return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(),
                               nullptr) == ERROR_SUCCESS;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) == ERROR_SUCCESS;
}

bool ReadText(HKEY key, const char *name, std::string &value)
{
    char buffer[1024] = {};
    DWORD type = 0, size = sizeof buffer - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    value = buffer;
    return true;
}

LONG WriteText(HKEY key, const char *name, const std::string &value)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1));
}

} // namespace

CMountTableLock::CMountTableLock() : m_mutex(CreateMutexA(nullptr, FALSE, kMutexName))
{
    if (m_mutex) {
        const DWORD wait = WaitForSingleObject(m_mutex.Get(), INFINITE);
        m_held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
}

CMountTableLock::~CMountTableLock()
{
    if (m_held)
        ReleaseMutex(m_mutex.Get());
}

DWORD AddMount(MountRecord &record)
{
    CRegKey mounts;
    if (!OpenKey(kMountsKey, true, mounts))
        return ERROR_ACCESS_DENIED;
    DWORD last = 0, type = 0, size = sizeof last;
    if (RegQueryValueExA(mounts.Get(), "LastHandle", nullptr, &type, reinterpret_cast<BYTE *>(&last), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        last = 0;
    MountRecord existing;
    DWORD handle = last;
    do {
        ++handle;
    } while (handle == 0 || FindMount(handle, existing));

    CRegKey entry;
    if (!OpenKey(std::string(kMountsKey) + "\\" + HandleName(handle), true, entry))
        return ERROR_ACCESS_DENIED;
    const std::string drive = std::string(1, record.letter) + ":";
    LONG status = RegSetValueExA(mounts.Get(), "LastHandle", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&handle),
                                 sizeof handle);
    if (status == ERROR_SUCCESS)
        status = WriteText(entry.Get(), "Drive", drive);
    if (status == ERROR_SUCCESS)
        status = WriteText(entry.Get(), "Container", record.container);
    if (status == ERROR_SUCCESS)
        status = WriteText(entry.Get(), "Folder", record.folder);
    if (status != ERROR_SUCCESS) {
        entry.Reset();
        RemoveMount(handle);
        return static_cast<DWORD>(status);
    }
    record.handle = handle;
    return 0;
}

bool FindMount(DWORD handle, MountRecord &record)
{
    CRegKey entry;
    if (handle == 0 || !OpenKey(std::string(kMountsKey) + "\\" + HandleName(handle), false, entry))
        return false;
    std::string drive;
    MountRecord found;
    if (!ReadText(entry.Get(), "Drive", drive) || !ReadText(entry.Get(), "Container", found.container) ||
        !ReadText(entry.Get(), "Folder", found.folder) || drive.empty())
        return false;
    found.handle = handle;
    found.letter = DriveLetterOf(static_cast<unsigned char>(drive[0]));
    if (found.letter == 0)
        return false;
    record = found;
    return true;
}

void RemoveMount(DWORD handle)
{
    CRegKey mounts;
    if (OpenKey(kMountsKey, false, mounts))
        RegDeleteKeyA(mounts.Get(), HandleName(handle).c_str());
}

std::vector<MountRecord> ListMounts()
{
    std::vector<MountRecord> list;
    CRegKey mounts;
    if (!OpenKey(kMountsKey, false, mounts))
        return list;
    for (DWORD index = 0;; ++index) {
        char name[64] = {};
        DWORD length = sizeof name;
        if (RegEnumKeyExA(mounts.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        MountRecord record;
        char *end = nullptr;
        const DWORD handle = strtoul(name, &end, 16);
        if (end && *end == '\0' && FindMount(handle, record))
            list.push_back(record);
    }
    return list;
}

DWORD AddLink(char letter, const std::string &folder)
{
    CRegKey links;
    if (!OpenKey(kLinksKey, true, links))
        return ERROR_ACCESS_DENIED;
    return static_cast<DWORD>(WriteText(links.Get(), std::string(1, letter).c_str(), folder));
}

bool FindLink(char letter, std::string &folder)
{
    CRegKey links;
    return OpenKey(kLinksKey, false, links) && ReadText(links.Get(), std::string(1, letter).c_str(), folder);
}

void RemoveLink(char letter)
{
    CRegKey links;
    if (OpenKey(kLinksKey, false, links))
        RegDeleteValueA(links.Get(), std::string(1, letter).c_str());
}

DWORD RecordedDriveMask()
{
    DWORD mask = 0;
    for (const MountRecord &record : ListMounts())
        mask |= 1u << (record.letter - 'A');
    std::string folder;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        if (FindLink(letter, folder))
            mask |= 1u << (letter - 'A');
    return mask;
}

} // namespace standin
