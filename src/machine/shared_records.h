// shared_records.h - the section of the records kept beside the shared
// block (the live dialog, the mount lock's holder).
//
// Like the block, the section is mapped once for every process that loads
// the library, in whatever session it runs, so the records reach exactly
// the processes the block reaches; named objects would be local to a
// session. Its layout is private to this version of the library.
#pragma once

#define SEFRABOX_SHARED_RECORD __attribute__((section("SefraRec"), shared))
