// palmet_mapping_test.cpp - the busy marker's mapping text and guard across
// two processes (the child is palmet_mapping_child.exe).
#include "files.h"
#include "process.h"
#include "product_texts.h"
#include "suite/Palmet.h"
#include "win/handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Child() { return BinProgram("palmet_mapping_child.exe"); }

struct Marker {
    std::string name = "palmet_test_marker_" + std::to_string(GetCurrentProcessId());
    CKernelHandle mapping{CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 260, name.c_str())};
};

TEST(PalmetMapping, TextWrittenInOneProcessIsReadInAnother)
{
    Marker marker;
    ASSERT_TRUE(marker.mapping);
    WriteMappingText(marker.mapping.Get(), kProductName);

    CScratchFolder folder;
    const std::string out = folder / "read.txt";
    ASSERT_EQ(0u, RunProgram(Child() + " read " + marker.name + " \"" + out + "\""));
    EXPECT_EQ(kProductName, ReadText(out));

    ASSERT_EQ(0u, RunProgram(Child() + " write " + marker.name + " OtherProgram"));
    char text[270];
    ASSERT_TRUE(ReadMappingText(marker.mapping.Get(), text));
    EXPECT_STREQ("OtherProgram", text);
}

TEST(PalmetMapping, LongTextsStayInsideTheMappingAndTheReadersBuffer)
{
    Marker marker;
    ASSERT_TRUE(marker.mapping);
    const std::string longText(400, 'L');
    WriteMappingText(marker.mapping.Get(), longText.c_str());

    // The mapping's first 260 bytes hold 259 characters and the terminator.
    CMappedView view(MapViewOfFile(marker.mapping.Get(), FILE_MAP_READ, 0, 0, 0));
    ASSERT_TRUE(view);
    const char *raw = static_cast<const char *>(view.Get());
    EXPECT_EQ(std::string(259, 'L'), std::string(raw, 259));
    EXPECT_EQ('\0', raw[259]);
    EXPECT_EQ('\0', raw[260]); // beyond the text the page stays as it was

    struct {
        char text[270];
        char guard[16];
    } reader;
    memset(&reader, '#', sizeof reader);
    ASSERT_TRUE(ReadMappingText(marker.mapping.Get(), reader.text));
    EXPECT_EQ(std::string(259, 'L'), reader.text);
    EXPECT_EQ(0, memcmp(reader.guard, "################", sizeof reader.guard));

    // A null text stores the empty text.
    WriteMappingText(marker.mapping.Get(), nullptr);
    ASSERT_TRUE(ReadMappingText(marker.mapping.Get(), reader.text));
    EXPECT_STREQ("", reader.text);
}

TEST(PalmetMapping, ReadRefusesBadHandlesAndBuffers)
{
    Marker marker;
    char text[270] = "x";
    EXPECT_FALSE(ReadMappingText(nullptr, text));
    EXPECT_STREQ("", text);
    EXPECT_FALSE(ReadMappingText(INVALID_HANDLE_VALUE, text));
    EXPECT_FALSE(ReadMappingText(marker.mapping.Get(), nullptr));
    // A buffer with less than 270 writable bytes.
    char *page = static_cast<char *>(VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, page);
    EXPECT_FALSE(ReadMappingText(marker.mapping.Get(), page + 4096 - 269));
    VirtualFree(page, 0, MEM_RELEASE);
    WriteMappingText(nullptr, "ignored"); // must not fault
}

TEST(PalmetMappingGuard, ExcludesOtherProcessesUntilReleased)
{
    ASSERT_TRUE(AcquireMappingGuard());
    // The child waits out its timeout and is refused.
    EXPECT_EQ(0u, RunProgram(Child() + " guard"));
    ReleaseMappingGuard();
    EXPECT_EQ(1u, RunProgram(Child() + " guard"));
}

TEST(PalmetMappingGuard, AHolderThatDiesDoesNotBlockTheOthers)
{
    // Keep the guard object alive in this process while the child dies.
    ASSERT_TRUE(AcquireMappingGuard());
    ReleaseMappingGuard();
    ASSERT_EQ(0u, RunProgram(Child() + " hold"));
    ASSERT_TRUE(AcquireMappingGuard());
    ReleaseMappingGuard();
}

} // namespace
