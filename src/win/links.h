// links.h - entries of a folder being emptied that lead elsewhere
// (junctions, symbolic links): told apart from the folder's own files and
// folders, and removed themselves, never what they lead to.
//
// Windows flags every link with FILE_ATTRIBUTE_REPARSE_POINT and removes a
// link itself through RemoveDirectoryA (folder links) or DeleteFileA (file
// links). Wine flags only links to folders, and every removal it offers
// (delete, delete-on-close, rename) acts on the link's target; there the
// link's own name is removed by the system's Unix unlink program, which
// Wine runs as a Unix process.
#pragma once

#include <windows.h>

#include <string>

// The entry is flagged as a link.
inline bool IsLinkEntry(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Removes the link at path itself (folder: it leads to a folder). 0 or a
// Windows error; the link's target is never touched.
DWORD RemoveLinkItself(const std::string &path, bool folder);

// The files of one folder, deleted one by one: a name that leads out of the
// folder (a link the listing did not flag, as Wine lists links to files)
// loses only its link. Each file is asked for its final path on the handle
// that deletes it: one query more than DeleteFileA makes.
class CFolderFiles {
public:
    // folder: the folder's path, with or without a trailing separator.
    explicit CFolderFiles(const std::string &folder);

    // Deletes the file entry name of the folder. 0 or a Windows error, as
    // DeleteFileA reports it.
    DWORD Delete(const char *name) const;

private:
    std::string m_folder;    // with a trailing separator
    std::string m_finalPath; // the folder as the system resolves it; empty: not known
};
