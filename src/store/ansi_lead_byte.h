// ansi_lead_byte.h - the lead-byte test of the system's ANSI code page, in
// the form the double-byte aware text routines of mbcs_text.h take.
#pragma once

#include <windows.h>

inline bool IsAnsiLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }
