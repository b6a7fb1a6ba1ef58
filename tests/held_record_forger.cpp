// held_record_forger.cpp - writes a held record in its own name, as any
// program of any user may, and ends: the record then names a dead process.
//
//   held_record_forger <X:> <link target> <folder>
//       the labelled drive link X: to link target and folder; exits 0 when
//       the record was written.
#include "machine/held_records.h"

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    HeldRecord record;
    record.kind = HeldKind::DriveLink;
    record.chDrive = argv[1][0];
    record.bLabelled = true;
    record.path = argv[2];
    record.folder = argv[3];
    return WriteHeldRecord(record) ? 0 : 1;
}
