// sendto_text.h - the text work of a Send To request: the command line cut
// into the sefra number and the file list, and the list turned into the
// double-NUL form of the shell's file operation.
//
// Pure C++ without Windows headers; the lead-byte rule is passed in (see
// store/mbcs_text.h), so every scan steps over a double-byte character as a
// whole and a lead byte is never parted from its trail byte.
//
// The command line, as the Send To host gets it:
//   <host> <library path>,MySendTo <number>,<name> "<name with blanks>" ...
// Everything up to the first comma is skipped; the keyword may stand
// anywhere after it, in any letter case.
#pragma once

#include "store/mbcs_text.h"

#include <cstddef>
#include <cstdint>

// Result codes (the Windows error numbers).
constexpr uint32_t kSendToOk = 0;
constexpr uint32_t kSendToNoMemory = 8;         // ERROR_NOT_ENOUGH_MEMORY
constexpr uint32_t kSendToBadArgument = 87;     // ERROR_INVALID_PARAMETER
constexpr uint32_t kSendToBufferOverflow = 111; // ERROR_BUFFER_OVERFLOW

constexpr char kSendToKeyword[] = "MySendTo";
// Trimmed from both ends of the sefra number and of the raw file list.
constexpr char kSefraNameTrimSet[] = " ,\"\t\n";
constexpr char kSrcPathTrimSet[] = " ,\t\n";

// The sefra number buffer; the number is at most 19 bytes.
constexpr size_t kSefraNameBytes = 20;
// The file list buffer of the first parse.
constexpr uint32_t kFirstSrcPathBytes = 270;
// A list of n raw bytes needs a buffer of n + kSrcPathSpare bytes; on
// overflow n + kSrcPathAsk is asked for.
constexpr uint32_t kSrcPathSpare = 8;
constexpr uint32_t kSrcPathAsk = 10;

// Finds keyword (compared without regard to letter case) at a character
// boundary of text and cuts it out together with the one character that
// follows it. Returns the position where the keyword stood, which now holds
// what came after; null, text unchanged, when it does not occur or an
// argument is null or the keyword empty.
char *FindAndCutKeyword(char *text, const char *keyword, LeadByteTest isLead);

// Copies src to dst without the leading and trailing single-byte characters
// that occur in set. dst may be src itself; otherwise it must hold
// strlen(src) + 1 bytes. Nothing happens when src or dst is null; a null set
// trims nothing.
void TrimChars(const char *src, char *dst, const char *set, LeadByteTest isLead);

// Converts the trimmed file list in text to the shell's form in place:
// names separated by blanks become names ended by a NUL, double quotes
// enclose a name with blanks and are dropped, and the list ends with a
// second NUL. A run of blanks outside quotes separates once, so no empty
// name cuts the list short. After a dropped quote the next character is
// never taken as a quote (a doubled quote stays as one). capacity: bytes of
// the buffer at text; the list needs its text, terminator and one byte more.
// Returns text, or null (text unchanged) when text is null or the buffer has
// no room for the second NUL.
char *ConvertToFileList(char *text, size_t capacity, LeadByteTest isLead);

// The display name of a sefra into out (outBytes, at least 1): the platform
// name followed by title unless it already holds title at a character
// boundary. A name too long for both is cut at a character boundary so that
// the title still fits; a title that cannot fit at all is left off. Returns
// the length written.
size_t MakeSefraDisplayName(const char *platformName, const char *title, char *out, size_t outBytes,
                            LeadByteTest isLead);

// Cuts cmdLine into the sefra number (into lpSefraName, kSefraNameBytes
// bytes) and the trimmed file list (into lpSrcPath, *pdwLen bytes).
//   0    both written;
//   87   a null argument, no comma, nothing after the first comma, no
//        keyword, no comma after the number or nothing after that one, a
//        number of 20 bytes or more, or a list that is empty once trimmed;
//   111  the list needs a larger buffer: *pdwLen now holds the size to ask
//        for, lpSefraName is written, lpSrcPath is not touched;
//   8    no memory for the working copy of cmdLine.
uint32_t ParseSendToLine(const char *cmdLine, char *lpSefraName, char *lpSrcPath, uint32_t *pdwLen,
                         LeadByteTest isLead);
