// pointers.h - tests of pointers handed in by callers.
//
// The library refuses an argument it cannot read or write instead of
// faulting in the caller's process. Texts are tested over at most
// kMaxTextProbe bytes unless the call states another limit.
#pragma once

#include <windows.h>

#include <cstddef>

constexpr size_t kMaxTextProbe = 260;

// True when p is non-null and a terminated text of at most maxChars
// characters (the terminator not counted) can be read from it.
bool IsReadableText(const char *p, size_t maxChars = kMaxTextProbe);

// True when p is non-null and cb bytes can be read / written.
bool IsReadableBlock(const void *p, size_t cb);
bool IsWritableBlock(void *p, size_t cb);

// True when p is an item identifier list that can be read up to its
// terminating zero-sized item, at most maxBytes in all.
bool IsReadableIdList(const void *p, size_t maxBytes = 65536);
