// profile_records.cpp - ForEachProfileRecord.
#include "store/profile_records.h"

#include "suite/Palmet.h"

namespace {

DWORD ReadRecord(const std::string &profile, DWORD number, RecordFields fields, ProfileRecord &record)
{
    record = ProfileRecord();
    record.number = number;
    const DWORD read =
        fields == RecordFields::All
            ? GetProfileParameter(number, profile.c_str(), kSchemaRecord, &record.id, record.target, record.password)
            : GetProfileParameter(number, profile.c_str(), kSchemaIdTarget, &record.id, record.target);
    record.target[sizeof record.target - 1] = '\0';
    record.password[sizeof record.password - 1] = '\0';
    return read;
}

} // namespace

DWORD ForEachProfileRecord(const std::string &profile, RecordFields fields, DWORD lastRecord,
                           const std::function<bool(const ProfileRecord &)> &visit)
{
    ProfileRecord record;
    for (DWORD number = 1; lastRecord == kUntilUnreadable || number <= lastRecord; ++number) {
        const DWORD read = ReadRecord(profile, number, fields, record);
        if (read != ERROR_SUCCESS) {
            if (lastRecord == kUntilUnreadable)
                return read;
            continue;
        }
        if (!visit(record))
            break;
    }
    return ERROR_SUCCESS;
}

std::vector<ProfileRecord> ReadSefraRecords(const std::string &profile)
{
    std::vector<ProfileRecord> records;
    const auto keep = [&records](const ProfileRecord &record) {
        if (record.NamesSefra() && (records.empty() || record.number > records.back().number))
            records.push_back(record);
        return true;
    };
    ForEachProfileRecord(profile, RecordFields::IdAndTarget, kDialogRecordCount, keep);
    ForEachProfileRecord(profile, RecordFields::IdAndTarget, kUntilUnreadable, keep);
    return records;
}
