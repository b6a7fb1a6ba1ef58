// profile_records.h - the sefra records of a store's profile, read one after
// another: the one walk that the sefra list, Send To and deletion share.
#pragma once

#include "store/profile_names.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// One record as read. Before each read the id is preset to -1 and the texts
// emptied; the texts are cut to their buffers.
struct ProfileRecord {
    DWORD number = 0;
    int id = -1;
    char target[kTargetSize] = {};
    char password[kPasswordSize] = {}; // read with RecordFields::All only

    // The record names a sefra: it has an id and a Target.
    bool NamesSefra() const { return id != -1 && target[0] != '\0'; }
};

// The fields a walk reads: kSchemaIdTarget or kSchemaRecord.
enum class RecordFields { IdAndTarget, All };

// lastRecord of a walk that goes on until a record cannot be read.
constexpr DWORD kUntilUnreadable = 0;

// Reads the records of profile from number 1 on and calls visit with each
// one read; visit returns false to end the walk. With a lastRecord the walk
// passes over a record that cannot be read and ends after that number; with
// kUntilUnreadable it ends at the first record that cannot be read, and the
// result is that read's code. Otherwise the result is 0.
DWORD ForEachProfileRecord(const std::string &profile, RecordFields fields, DWORD lastRecord,
                           const std::function<bool(const ProfileRecord &)> &visit);

// Every record that names a sefra, in record order: records 1 to 3 (an
// unreadable one passed over) and, as Send To reaches them, those after
// them up to the first record that cannot be read.
std::vector<ProfileRecord> ReadSefraRecords(const std::string &profile);
