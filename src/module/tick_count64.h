// tick_count64.h - GetTickCount64 for the thread library of the C++ runtime.
//
// The runtime's thread library (linked in statically) calls GetTickCount64,
// which Windows XP lacks. tick_count64.cpp defines the import pointer that
// the library's calls go through, so the linker takes it before kernel32's
// import library and the DLL does not import the function: the first call
// looks the system's function up and, where it is missing, counts from
// GetTickCount instead.
#pragma once

#include <windows.h>

#include <atomic>

// The milliseconds since start-up in 64 bits from a 32-bit count (GetTickCount)
// and the last value handed out (updated). It sees one wrap of the 32-bit count
// between two calls, so the calls must come less than 49.7 days apart; several
// threads may call it at once.
ULONGLONG ExtendTickCount(std::atomic<ULONGLONG> &last, DWORD(WINAPI *tickCount)());
