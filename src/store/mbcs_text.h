// mbcs_text.h - scans and comparisons of ANSI byte strings that never split
// a double-byte character (lead byte and trail byte stay together).
//
// Pure C++: the lead-byte rule is passed in, so the same code serves the
// system's ANSI code page at run time and a fixed code page 936 rule in
// tests and fuzzing.
#pragma once

#include <cstddef>

using LeadByteTest = bool (*)(unsigned char);

// Lead bytes of code page 936 (GBK): 0x81 to 0xFE.
bool IsLeadByte936(unsigned char c);

// Compares like _mbsicmp: single-byte letters without regard to case,
// double-byte characters byte for byte. <0, 0, >0.
int MbsICompare(const char *a, const char *b, LeadByteTest isLead);

// Compares at most n bytes like _mbsnbicmp; a double-byte character cut by
// the limit is compared by its lead byte alone.
int MbsNbICompare(const char *a, const char *b, size_t n, LeadByteTest isLead);

// True when the first prefixLen bytes of name equal prefix exactly and the
// limit does not cut a double-byte character of name.
bool MbsStartsWith(const char *name, const char *prefix, size_t prefixLen, LeadByteTest isLead);

// True when needle occurs in text starting at a character boundary of text.
bool MbsContains(const char *text, const char *needle, LeadByteTest isLead);

// True when a Target from the profile names a folder in the volume root by
// its own name, one the path rules read unchanged: not empty; no control
// character, no "\ / : * ? \" < > |" as a single-byte character (a trail
// byte of 0x5C is part of its character); every lead byte followed by a
// byte of 0x40 or above, the lowest trail byte of the double-byte code
// pages; not ending in a dot or a blank (the system drops those, so "...",
// " " and "Name." would name the root or another folder); no device name
// (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, CONIN$, CONOUT$, in any
// letter case, also before an extension or blanks); and no "~" in a name of
// the 8.3 form, which may be another folder's short name.
bool IsPlainFolderName(const char *name, LeadByteTest isLead);
