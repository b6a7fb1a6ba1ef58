// shared_section.h - an outside view of Sefrabox.dll's shared block: the
// "Sefrabox" section of the loaded DLL, found through its section table, and
// the fields at their fixed offsets. The DLL exports nothing for this, so
// the view also proves the layout other programs rely on.
#pragma once

#include "pe_image.h"

#include <windows.h>

#include <string>

constexpr DWORD kSharedBlockSize = 1688;
constexpr DWORD kMountDeviceNameOffset = 0x000;
constexpr DWORD kVolumeNameOffset = 0x300;
constexpr DWORD kSharedTextOffset = 0x600;
constexpr DWORD kDriveLetterOffset = 0x680;
constexpr DWORD kMountVolumeLockOffset = 0x68C;
constexpr DWORD kMountHandleOffset = 0x690;
constexpr DWORD kDialogOffset = 0x694;

inline BYTE *SharedBlockOf(HMODULE sefrabox)
{
    DWORD size = 0;
    auto block = static_cast<BYTE *>(FindSection(sefrabox, "Sefrabox", &size));
    return block && size >= kSharedBlockSize ? block : nullptr;
}

inline volatile LONG *MountVolumeLockOf(HMODULE sefrabox)
{
    BYTE *block = SharedBlockOf(sefrabox);
    return block ? reinterpret_cast<volatile LONG *>(block + kMountVolumeLockOffset) : nullptr;
}

// The library's own acquire rule: compare-and-exchange from 0 to 1.
inline bool TryTakeLock(volatile LONG *lock) { return InterlockedCompareExchange(lock, 1, 0) == 0; }

// The fields of a shared block as they are at each call. The block is the
// DLL's section (SharedBlockOf) or, in a program that links the library's
// code, its own g_SharedBlock.
class CSharedView {
public:
    CSharedView() = default;
    explicit CSharedView(const void *block) : m_block(static_cast<const volatile BYTE *>(block)) {}

    bool Valid() const { return m_block != nullptr; }
    LONG Lock() const { return Word<LONG>(kMountVolumeLockOffset); }
    DWORD MountHandle() const { return Word<DWORD>(kMountHandleOffset); }
    DWORD DialogAddress() const { return Word<DWORD>(kDialogOffset); }
    std::string MountDeviceName() const { return Text(kMountDeviceNameOffset, 768); }
    std::string VolumeName() const { return Text(kVolumeNameOffset, 768); }
    std::string DriveLetter() const { return Text(kDriveLetterOffset, 12); }

    // What the block still records of a visit: the lock held, a store
    // mounted, a sefra drive, a live dialog; empty when none.
    std::string Leftovers() const
    {
        std::string left;
        if (Lock() != 0)
            left += "the lock is held; ";
        if (MountHandle() != 0 || !VolumeName().empty())
            left += "the store is mounted (" + VolumeName() + "); ";
        if (!DriveLetter().empty())
            left += "a sefra drive is recorded (" + DriveLetter() + "); ";
        if (DialogAddress() != 0)
            left += "a dialog is recorded; ";
        return left;
    }

private:
    template <typename T> T Word(DWORD offset) const { return *reinterpret_cast<const volatile T *>(m_block + offset); }
    std::string Text(DWORD offset, size_t size) const
    {
        std::string text;
        for (size_t i = 0; i < size && m_block[offset + i] != 0; ++i)
            text += static_cast<char>(m_block[offset + i]);
        return text;
    }

    const volatile BYTE *m_block = nullptr;
};
