// bounded_text.h - copying texts into fixed buffers without splitting a
// double-byte character of the ANSI code page.
#pragma once

#include <cstddef>

namespace palmet {

// Copies at most cb - 1 bytes of src (srcLength bytes, no terminator needed)
// into dst and terminates it; a lead byte whose trail byte would not fit is
// left out. Returns the number of bytes copied. Does nothing when cb is 0.
size_t CopyTextCut(char *dst, size_t cb, const char *src, size_t srcLength);

} // namespace palmet
