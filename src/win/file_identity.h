// file_identity.h - whether two paths reach one file or folder: the same
// file index on the same volume, as the system reports them on open
// handles, so that two spellings, a drive and a folder it leads to, or a
// link and its target compare equal.
#pragma once

#include <windows.h>

#include <string>

// The identity of the file or folder at path, opened without access and
// with every sharing mode (folders too). False when it cannot be opened.
bool FileIdentityOf(const std::string &path, BY_HANDLE_FILE_INFORMATION &info);

// a and b are one file. Under Wine each drive reports a volume serial of its
// own, also for a folder reached through two drives: there only the file
// index (the inode) is compared.
bool IsSameFile(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b);

// Both paths open and reach one file.
bool IsSameFile(const std::string &a, const std::string &b);
