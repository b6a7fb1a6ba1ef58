// target_check.h - the one decision on a profile Target that every use
// passes before a folder is created, linked, filled or removed: a Target
// names one folder of the volume root, by its own name, and nothing else;
// and the comparison of folder names as the system makes it.
#pragma once

// True for a folder name the system reads unchanged (IsPlainFolderName in
// the ANSI code page, a text the code page converts without error, no name
// the system's path rules fold to another, not the profile file's name);
// otherwise traces the refusal and returns false, and the record counts as
// unusable.
bool IsUsableTarget(const char *target);

// True when a and b name the same entry of one folder: compared as the file
// system compares names, without regard to letter case, character by
// character of the ANSI code page.
bool IsSameFolderName(const char *a, const char *b);
