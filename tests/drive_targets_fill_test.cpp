// drive_targets_fill_test.cpp - the drive target record fill on raw device
// lists, rule buffers and records. Needs no Windows headers, so it also
// builds natively (there the record's pointer fields are the 32-bit values
// the fill computes from the named buffer addresses):
//   g++ -std=c++17 -Isrc tests/drive_targets_fill_test.cpp src/volume/drive_targets_fill.cpp -lgtest_main -lgtest
#include "volume/drive_targets_fill.h"

#ifdef _WIN32
#include "Sefrabox.h"
#endif

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace drive_targets;

#ifdef _WIN32
static_assert(sizeof(FILE_OPERATION) == 261, "FILE_OPERATION is packed to 261 bytes");
static_assert(offsetof(FILE_OPERATION, chDestDrive) == kOffDestDrive, "");
static_assert(offsetof(FILE_OPERATION, uchDestWritable) == kOffDestWritable, "");
static_assert(offsetof(FILE_OPERATION, lpDestName) == kOffDestName, "");
static_assert(offsetof(FILE_OPERATION, dwTargetCount) == kOffTargetCount, "");
static_assert(offsetof(FILE_OPERATION, lpTargetPath) == kOffTargetPath, "");
static_assert(offsetof(FILE_OPERATION, uchTargetWritable) == kOffTargetWritable, "");
static_assert(offsetof(FILE_OPERATION, lpTargetName) == kOffTargetName, "");
static_assert(offsetof(FILE_OPERATION, lpTitle) == kOffTitle, "");
#endif

namespace {

constexpr uint32_t kPathAddress = 0x00401000;
constexpr uint32_t kNameAddress = 0x00502000;

struct Device {
    char letter;
    uint8_t disk;
    uint32_t identity;
};

struct Rule {
    uint8_t flags;
    uint8_t disk;
    uint32_t identity;
};

void PutLe32(uint8_t *p, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        p[k] = uint8_t(v >> (8 * k));
}

uint32_t GetLe32(const uint8_t *p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// A GetDriveTargets call without the platform libraries: the device and
// rule buffers are written here the way the driver and the platform file
// deliver them, then reset and filled as the export does.
class FillRun {
public:
    FillRun(size_t cbPath = 512, size_t cbName = 512, size_t cbInfo = kDriverInfoSize)
        : m_path(cbPath, '\x55'), m_name(cbName, '\x55'), m_info(cbInfo, 0)
    {
        std::memset(m_record, 0xCC, sizeof m_record);
    }

    void Devices(const std::vector<Device> &devices, int countByte = -1)
    {
        m_devices = devices;
        m_deviceCount = countByte < 0 ? int(devices.size()) : countByte;
    }
    void Rules(const std::vector<Rule> &rules, bool present = true)
    {
        m_rules = rules;
        m_rulesPresent = present;
    }

    uint32_t Run(bool diskShift = false, bool skipC = false)
    {
        uint8_t config[kTargetConfigSize];
        uint8_t *const info = m_info.data();
        std::memset(config, 0xEE, sizeof config);
        std::memset(info, 0xEE, kDriverInfoSize);
        const TargetBuffers buffers{m_record,      m_path.data(), m_path.size(), kPathAddress,
                                    m_name.data(), m_name.size(), kNameAddress};
        ResetDriveTargets(config, info, buffers);
        for (uint8_t b : config)
            EXPECT_EQ(0, b);
        for (uint8_t b : m_info)
            EXPECT_EQ(0, b);
        if (m_rulesPresent) {
            config[0] = kRulesPresent | 0x01; // other bits of byte 0 are the platform file's own
            config[1] = uint8_t(m_rules.size());
            for (size_t j = 0; j < m_rules.size() && kOffRule0 + kEntrySize * j + kEntrySize <= sizeof config; ++j) {
                uint8_t *e = config + kOffRule0 + kEntrySize * j;
                e[0] = m_rules[j].flags;
                e[1] = m_rules[j].disk;
                PutLe32(e + 2, m_rules[j].identity);
            }
        }
        info[0] = 0x5A;
        info[kOffDeviceCount] = uint8_t(m_deviceCount);
        for (size_t i = 0; i < m_devices.size() && kOffDevice0 + kEntrySize * i + kEntrySize <= m_info.size(); ++i) {
            uint8_t *e = info + kOffDevice0 + kEntrySize * i;
            e[0] = uint8_t((m_devices[i].letter - 'A') << 3 | m_devices[i].disk);
            PutLe32(e + 1, m_devices[i].identity);
        }
        return FillDriveTargets(config, info, m_info.size(), buffers, TargetOptions{diskShift, skipC},
                                &FillRun::Collect, this);
    }

    uint32_t Count() const { return GetLe32(m_record + kOffTargetCount); }
    uint8_t Writable(uint32_t n) const { return m_record[kOffTargetWritable + n]; }
    // The text the record's path / name pointer n leads to, checked to lie
    // inside the caller's buffer.
    std::string PathText(uint32_t n) const
    {
        return TextAt(GetLe32(m_record + kOffTargetPath + 4 * n), kPathAddress, m_path);
    }
    std::string NameText(uint32_t n) const
    {
        return TextAt(GetLe32(m_record + kOffTargetName + 4 * n), kNameAddress, m_name);
    }
    uint32_t PathOffset(uint32_t n) const { return GetLe32(m_record + kOffTargetPath + 4 * n) - kPathAddress; }
    std::string Listed() const
    {
        std::string s;
        for (uint32_t n = 0; n < Count(); ++n)
            s += PathText(n) + (Writable(n) ? "w " : "r ");
        return s;
    }

    const uint8_t *Record() const { return m_record; }
    const std::vector<char> &PathBuf() const { return m_path; }
    const std::vector<std::string> &Lines() const { return m_lines; }
    bool Traced(const std::string &line) const
    {
        for (const auto &l : m_lines)
            if (l == line)
                return true;
        return false;
    }

private:
    static void Collect(void *context, int line, const char *fmt, int a, int b)
    {
        EXPECT_GT(line, 0);
        char text[128];
        std::snprintf(text, sizeof text, fmt, a, b);
        static_cast<FillRun *>(context)->m_lines.push_back(text);
    }

    static std::string TextAt(uint32_t address, uint32_t base, const std::vector<char> &buf)
    {
        if (address < base || address - base >= buf.size())
            return "<outside>";
        const size_t at = address - base;
        const void *end = std::memchr(buf.data() + at, '\0', buf.size() - at);
        if (!end)
            return "<unterminated>";
        return std::string(buf.data() + at);
    }

    uint8_t m_record[kRecordSize];
    std::vector<char> m_path;
    std::vector<char> m_name;
    std::vector<uint8_t> m_info;
    std::vector<Device> m_devices;
    int m_deviceCount = 0;
    std::vector<Rule> m_rules;
    bool m_rulesPresent = false;
    std::vector<std::string> m_lines;
};

constexpr uint8_t kUse = kRuleInUse;

TEST(DriveTargetsFill, WithoutRulesEveryDriveIsWritableInDriverOrder)
{
    FillRun run;
    run.Devices({{'D', 0, 0x11}, {'C', 0, 0x10}, {'Z', 3, 0x99}});
    // Rule entries without bit 7 of byte 0 (as with no platform file) are never consulted.
    run.Rules({{kUse, 0, 0x11}}, false);
    EXPECT_EQ(kResultOk, run.Run());
    EXPECT_EQ("D:w C:w Z:w ", run.Listed());
    for (uint32_t n = 0; n < 3; ++n)
        EXPECT_EQ(run.PathText(n), run.NameText(n));
    // Texts are packed one after the other, each with its zero byte.
    EXPECT_EQ(0u, run.PathOffset(0));
    EXPECT_EQ(3u, run.PathOffset(1));
    EXPECT_EQ(6u, run.PathOffset(2));
    EXPECT_EQ(0, run.PathBuf()[9]); // the rest of the buffer was zeroed
    const std::vector<std::string> expected = {
        "stDriverInfo.u8_valid_dev_list_count = 0x03", "lpFileOperation->uchTargetWritable[0] = 1",
        "lpFileOperation->uchTargetWritable[1] = 1",   "lpFileOperation->uchTargetWritable[2] = 1",
        "lpFileOperation->dwTargetCount = 3",
    };
    EXPECT_EQ(expected, run.Lines());
}

TEST(DriveTargetsFill, RecordIsZeroedOutsideTheTargets)
{
    FillRun run;
    run.Devices({{'E', 1, 7}});
    EXPECT_EQ(kResultOk, run.Run());
    const uint8_t *r = run.Record();
    for (size_t k = 0; k < kOffTargetCount; ++k)
        EXPECT_EQ(0, r[k]) << k;
    for (size_t k = kOffTargetPath + 4; k < kOffTargetWritable; ++k)
        EXPECT_EQ(0, r[k]) << k;
    for (size_t k = kOffTargetWritable + 1; k < kOffTargetName; ++k)
        EXPECT_EQ(0, r[k]) << k;
    for (size_t k = kOffTargetName + 4; k < kRecordSize; ++k)
        EXPECT_EQ(0, r[k]) << k;
    EXPECT_EQ(kPathAddress, GetLe32(r + kOffTargetPath));
    EXPECT_EQ(kNameAddress, GetLe32(r + kOffTargetName));
}

TEST(DriveTargetsFill, SkipCLeavesDriveCOutWhateverTheRulesSay)
{
    FillRun run;
    run.Devices({{'C', 0, 0x10}, {'D', 0, 0x11}});
    run.Rules({{kUse | kRuleWritable, 0, 0x10}});
    EXPECT_EQ(kResultOk, run.Run(false, true));
    EXPECT_EQ("D:w ", run.Listed());
    EXPECT_EQ(0u, run.PathOffset(0));
    EXPECT_FALSE(run.Traced("nTarget = 0, Writable"));

    FillRun kept;
    kept.Devices({{'C', 0, 0x10}, {'D', 0, 0x11}});
    EXPECT_EQ(kResultOk, kept.Run(false, false));
    EXPECT_EQ("C:w D:w ", kept.Listed());
}

TEST(DriveTargetsFill, HiddenDriveUsesNoSpaceAndTheNextTakesItsPlace)
{
    FillRun run;
    run.Devices({{'D', 0, 0x11}, {'E', 0, 0x12}, {'F', 1, 0x12}});
    run.Rules({{kUse, 0, 0x12}}); // neither readable nor writable: hidden
    EXPECT_EQ(kResultOk, run.Run());
    EXPECT_EQ("D:w F:w ", run.Listed());
    EXPECT_EQ(3u, run.PathOffset(1));
    EXPECT_EQ("F:", run.NameText(1));
    EXPECT_TRUE(run.Traced("nTarget = 1, Hide"));
    EXPECT_FALSE(run.Traced("lpFileOperation->uchTargetWritable[2] = 1"));
    EXPECT_TRUE(run.Traced("lpFileOperation->dwTargetCount = 2"));
}

TEST(DriveTargetsFill, RuleMatchesOnDiskAndIdentityAndNeedsItsInUseBit)
{
    FillRun run;
    run.Devices({{'D', 0, 0x11}, {'E', 1, 0x11}, {'F', 0, 0x12}, {'G', 2, 0xA1B2C3D4}});
    run.Rules({
        {kRuleReadable, 0, 0x11},        // bit 0 clear: ignored
        {kUse | kRuleReadable, 1, 0x11}, // E only: same identity, other disk than D
        {kRuleReadable | 0x08, 0, 0x12}, // bit 0 clear: ignored
        {kUse | kRuleReadable, 2, 0xA1B2C3D4},
    });
    EXPECT_EQ(kResultOk, run.Run());
    EXPECT_EQ("D:w E:r F:w G:r ", run.Listed());
    EXPECT_TRUE(run.Traced("nTarget = 1, Readable"));
    EXPECT_TRUE(run.Traced("lpFileOperation->uchTargetWritable[1] = 0"));
    EXPECT_TRUE(run.Traced("nTarget = 3, Readable"));
}

TEST(DriveTargetsFill, DiskShiftCountsRuleDisksFromOne)
{
    FillRun run;
    run.Devices({{'D', 0, 0x20}, {'E', 1, 0x20}, {'F', 7, 0x21}});
    run.Rules({{kUse | kRuleReadable, 0, 0x20}, {kUse, 7, 0x21}});
    EXPECT_EQ(kResultOk, run.Run(true));
    // Disk 0 of the rule is disk 1 of the driver; a rule for disk 7 matches nothing.
    EXPECT_EQ("D:w E:r F:w ", run.Listed());

    FillRun plain;
    plain.Devices({{'D', 0, 0x20}, {'E', 1, 0x20}, {'F', 7, 0x21}});
    plain.Rules({{kUse | kRuleReadable, 0, 0x20}, {kUse, 7, 0x21}});
    EXPECT_EQ(kResultOk, plain.Run(false));
    EXPECT_EQ("D:r E:w ", plain.Listed());
}

TEST(DriveTargetsFill, LaterRulesOverrideAndHideEndsTheWalk)
{
    FillRun run;
    run.Devices({{'D', 0, 1}, {'E', 0, 2}, {'F', 0, 3}});
    run.Rules({
        {kUse | kRuleReadable, 0, 1},
        {kUse | kRuleWritable | kRuleReadable, 0, 1}, // writable wins over readable in one rule
        {kUse | kRuleWritable, 0, 2},
        {kUse | kRuleReadable, 0, 2},
        {kUse, 0, 3},
        {kUse | kRuleWritable, 0, 3}, // after the hide: never reached
    });
    EXPECT_EQ(kResultOk, run.Run());
    EXPECT_EQ("D:w E:r ", run.Listed());
    const std::vector<std::string> expected = {
        "stDriverInfo.u8_valid_dev_list_count = 0x03", "nTarget = 0, Readable", "nTarget = 0, Writable",
        "lpFileOperation->uchTargetWritable[0] = 1",   "nTarget = 1, Writable", "nTarget = 1, Readable",
        "lpFileOperation->uchTargetWritable[1] = 0",   "nTarget = 2, Hide",     "lpFileOperation->dwTargetCount = 2",
    };
    EXPECT_EQ(expected, run.Lines());
}

TEST(DriveTargetsFill, FiveByteBuffersHoldOneTarget)
{
    FillRun run(5, 5);
    run.Devices({{'D', 0, 1}, {'E', 0, 2}});
    EXPECT_EQ(kResultBufferOverflow, run.Run());
    EXPECT_EQ(1u, run.Count());
    EXPECT_EQ("D:w ", run.Listed());
    EXPECT_TRUE(run.Traced("lpFileOperation->dwTargetCount = 1"));
    // Nothing of the second drive was written.
    EXPECT_EQ(0, run.PathBuf()[3]);
    EXPECT_EQ(0, run.Record()[kOffTargetWritable + 1]);
    EXPECT_EQ(0u, GetLe32(run.Record() + kOffTargetPath + 4));
}

TEST(DriveTargetsFill, EitherFullBufferStopsTheList)
{
    FillRun names(512, 6);
    names.Devices({{'D', 0, 1}, {'E', 0, 2}, {'F', 0, 3}});
    EXPECT_EQ(kResultBufferOverflow, names.Run());
    EXPECT_EQ("D:w E:w ", names.Listed());

    FillRun empty(0, 512);
    empty.Devices({{'D', 0, 1}});
    EXPECT_EQ(kResultBufferOverflow, empty.Run());
    EXPECT_EQ(0u, empty.Count());

    // A hidden drive before the limit leaves room for the next one.
    FillRun hidden(5, 5);
    hidden.Devices({{'D', 0, 1}, {'E', 0, 2}});
    hidden.Rules({{kUse, 0, 1}});
    EXPECT_EQ(kResultOk, hidden.Run());
    EXPECT_EQ("E:w ", hidden.Listed());
}

TEST(DriveTargetsFill, DeviceListIsCappedAtTheBuffer)
{
    // A count byte beyond what the 100-byte buffer holds reads 15 entries.
    FillRun run;
    std::vector<Device> devices;
    for (int i = 0; i < 15; ++i)
        devices.push_back({char('D' + i), uint8_t(i & 7), uint32_t(i)});
    run.Devices(devices, 200);
    EXPECT_EQ(kResultOk, run.Run());
    EXPECT_EQ(15u, run.Count());
    EXPECT_TRUE(run.Traced("stDriverInfo.u8_valid_dev_list_count = 0xC8"));
    EXPECT_EQ("R:", run.PathText(14));
}

TEST(DriveTargetsFill, ListStopsAt27Targets)
{
    // The driver's 100-byte list holds at most 15 entries; a longer list
    // shows that the record never takes more than 27 targets.
    FillRun run(512, 512, kOffDevice0 + kEntrySize * 30);
    std::vector<Device> devices;
    for (int i = 0; i < 30; ++i)
        devices.push_back({char('A' + i % 26), 0, uint32_t(i)});
    run.Devices(devices);
    EXPECT_EQ(kResultOk, run.Run());
    EXPECT_EQ(27u, run.Count());
    EXPECT_EQ("A:", run.PathText(26));
    EXPECT_EQ(78u, run.PathOffset(26));
    EXPECT_FALSE(run.Traced("lpFileOperation->uchTargetWritable[27] = 1"));
    EXPECT_EQ(0, run.PathBuf()[81]);
}

TEST(DriveTargetsFill, RuleCountIsCappedAtTheBuffer)
{
    FillRun run;
    run.Devices({{'D', 0, 5}});
    std::vector<Rule> rules(16, Rule{kUse | kRuleWritable, 6, 9}); // match nothing
    rules[15] = Rule{kUse | kRuleReadable, 0, 5};
    run.Rules(rules);
    EXPECT_EQ(kResultOk, run.Run());
    EXPECT_EQ("D:r ", run.Listed());
}

} // namespace
