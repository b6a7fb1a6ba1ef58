// copy_request.h - the arguments of copy_file_dialog, checked and copied.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace rundle {

constexpr unsigned long kMaxTargets = 27;
// Longest text read from a caller, in characters.
constexpr size_t kMaxText = 260;

struct CopyTarget {
    std::string path; // drive text ("X:") or any folder path: its root folder is listed
    std::string name;
    bool writable;
};

struct CopyRequest {
    char destDrive; // letter; the destination's root is "X:\"
    bool destWritable;
    std::string destName;
    std::string title;
    std::vector<CopyTarget> targets;
};

// Checks the caller's arguments and copies them into request. 0, or
// ERROR_INVALID_PARAMETER when the destination is not a drive letter, the
// count is above 27, an array is null or unreadable while the count is not
// zero, or a target text is unreadable. A null destination name or title
// counts as empty text; a non-null unreadable one is refused.
DWORD ReadCopyRequest(char chDestDrive, unsigned char uchDestWritable, const char *lpDestName,
                      unsigned long dwTargetCount, const char *const *lpTargetPath,
                      const unsigned char *uchTargetWritable, const char *const *lpTargetName, const char *lpTitle,
                      CopyRequest &request);

// The folder a target or destination text stands for, ending in "\":
// "X:" -> "X:\", "C:\some\folder" -> "C:\some\folder\".
std::string RootOf(const std::string &text);

} // namespace rundle
