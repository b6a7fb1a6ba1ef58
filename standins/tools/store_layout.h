// store_layout.h - how a stand-in sefra store lies on disk.
//
// A store is a container file (the VPF) and a content folder beside it
// that holds the files of the store volume. The container starts with a
// 512-byte boot block in the FAT32 layout; byte 0x41 is the dirty flag
// that the disk check clears.
#pragma once

#include "mounts.h"

#include <cstddef>

namespace sefra_store {

constexpr char kStoreFileName[] = "Sefra.vpf";
// Content folder = container path + this suffix ("Sefra.vpf.files"), the
// same folder the stand-in mounts make the drive's root.
constexpr const char *kContentFolderSuffix = standin::kContentFolderSuffix;
constexpr char kProfileName[] = "Sefrabox.ini";

constexpr size_t kBootBlockSize = 512;
constexpr size_t kDirtyFlagOffset = 0x41;
constexpr size_t kContainerSize = 64 * 1024;
// OEM name at offset 3 that marks a stand-in container.
constexpr char kOemName[8] = {'S', 'E', 'F', 'R', 'A', 'V', 'P', 'F'};

} // namespace sefra_store
