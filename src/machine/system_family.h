// system_family.h - g_bXpFamily, which decides how drive letters are
// linked: through DefineDosDeviceA on Windows NT 5.1 and 5.2, through the
// suite's driver elsewhere.
#pragma once

#include <windows.h>

// 1 on Windows NT 5.1 and 5.2, 0 elsewhere. Set once at process attach
// (module/app.cpp), before any export runs.
extern int g_bXpFamily;

// Decides g_bXpFamily from a version record: NT platform, major 5, minor 1 or 2.
int IsXpFamilyVersion(const OSVERSIONINFOA &info);

// The system's version query, GetVersionExA in the library.
using VersionQuery = BOOL(WINAPI *)(OSVERSIONINFOA *);

// g_bXpFamily as start-up sets it: asks with the extended record (size
// 156), then with the basic one (size 148); 0 when both are refused.
int DetectXpFamily(VersionQuery query);
