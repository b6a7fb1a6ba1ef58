// reliab_last_process_test.cpp - the last process that has the library
// loaded killed (TerminateProcess) with drives and mounts open, by this
// program, which never loads the library: the shared block goes with that
// process, and only the library's held records tell the next caller what to
// undo. Each next caller, a process of its own, leaves the machine as the
// test found it and goes on as usual; and undoes nothing that a record
// forged by another program names.
#include "box_answerer.h"
#include "shown_drives.h"
#include "files.h"
#include "process.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "win/file_identity.h"
#include "win/handles.h"
#include "world_test.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// Bounds the waits for the children; not a measure of speed (programs start
// slowly under emulation).
constexpr DWORD kBoundMs = 180000;

class LastProcess : public DemoWorldTest {
protected:
    void SetUp() override
    {
        DemoWorldTest::SetUp();
        ASSERT_EQ(nullptr, GetModuleHandleA("Sefrabox.dll")) << "this program must not have the library loaded";
        MakeWorld();
        m_event.Reset(CreateEventA(nullptr, TRUE, FALSE, EventName().c_str()));
        ASSERT_TRUE(m_event.Valid());
    }

    std::string EventName() const { return "reliab-last-at-" + std::to_string(GetCurrentProcessId()); }
    std::string Child(const std::string &arguments) const
    {
        return BinProgram("reliab_kill_child.exe") + " " + arguments;
    }

    // Starts the child, kills it once it stands at point and returns what
    // the machine keeps of it.
    MachineState KillAt(const std::string &point)
    {
        ResetEvent(m_event.Get());
        CKernelHandle child = StartProgram(Child(point + " " + EventName()));
        EXPECT_TRUE(child.Valid());
        const HANDLE waits[2] = {m_event.Get(), child.Get()};
        EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, waits, FALSE, kBoundMs))
            << point << ": the child did not reach its point, exit code " << ExitCodeOf(child.Get());
        TerminateProcess(child.Get(), 9);
        WaitForSingleObject(child.Get(), INFINITE);
        return TakeMachineState();
    }

    // The next caller, to its end: its exit code (MAXDWORD: it did not end).
    DWORD Next(const std::string &arguments)
    {
        ChildOptions options;
        options.timeoutMs = kBoundMs;
        return RunChild(Child(arguments), options).exitCode;
    }

    // Send To of one file into the main system's sefra, answered as a user
    // would; true when it copied and said so.
    bool SendOneFile()
    {
        const std::string file = m_folder / "sent.txt";
        EXPECT_TRUE(WriteText(file, "sent"));
        CBoxAnswerer user;
        user.SetPassword("main");
        CKernelHandle child = StartProgram(Child("sendto-run , MySendTo 255,\"" + file + "\""));
        if (!child.Valid())
            return false;
        user.Serve(GetProcessId(child.Get()));
        if (WaitForSingleObject(child.Get(), kBoundMs) != WAIT_OBJECT_0)
            TerminateProcess(child.Get(), 9);
        WaitForSingleObject(child.Get(), INFINITE);
        return ExitCodeOf(child.Get()) == 0 && user.Boxes().size() == 1 &&
               ReadText(m_world.Sefra("MainSefra") + "\\sent.txt") == "sent";
    }

    CKernelHandle m_event;
};

TEST_F(LastProcess, AVisitsDriveLabelAndStoreGoWithTheNextShowSendToOrDelete)
{
    for (const char *next : {"show", "sendto", "delete"}) {
        SCOPED_TRACE(next);
        const MachineState left = KillAt("open-drive");
        EXPECT_NE(m_before.drives, left.drives) << "the sefra's drive and the store's";
        EXPECT_EQ(m_before.labels + 1, left.labels);
        EXPECT_EQ(m_before.mounts + 1, left.mounts);
        EXPECT_EQ(m_before.held + 2, left.held) << "the drive and the store are recorded";

        if (next == std::string("show"))
            EXPECT_EQ(0u, Next("show"));
        else if (next == std::string("sendto"))
            EXPECT_TRUE(SendOneFile());
        else
            EXPECT_EQ(0u, Next("probe \"" + m_world.Store() + "\""));
        EXPECT_EQ(m_before, TakeMachineState());
    }
}

TEST_F(LastProcess, AHolderInCopyModeOrTheDiskCheckIsUndoneByTheNextCaller)
{
    MachineState left = KillAt("open-copy");
    EXPECT_EQ(m_before.mounts + 2, left.mounts) << "the store and the platform's disk";
    EXPECT_EQ(m_before.links + 1, left.links) << "the sefra's temporary drive";
    EXPECT_EQ(m_before.held + 3, left.held);
    EXPECT_EQ(0u, Next("probe \"" + m_world.Store() + "\""));
    EXPECT_EQ(m_before, TakeMachineState());

    // The store marked dirty: the next show checks it under a drive of its own.
    {
        CFileHandle store(CreateFileA(m_world.Store().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(store.Valid());
        const BYTE dirty = 1;
        DWORD written = 0;
        ASSERT_NE(INVALID_SET_FILE_POINTER, SetFilePointer(store.Get(), 0x41, nullptr, FILE_BEGIN));
        ASSERT_TRUE(WriteFile(store.Get(), &dirty, 1, &written, nullptr));
    }
    left = KillAt("open-check");
    EXPECT_EQ(m_before.mounts + 1, left.mounts) << "the store, under the check's drive";
    EXPECT_EQ(m_before.held + 1, left.held);
    EXPECT_EQ(0u, Next("show")) << "the next show checks the store again and shows";
    EXPECT_EQ(m_before, TakeMachineState());
}

// Any program may write a record, here one that names itself and ends. A
// drive that is no link to a sefra folder keeps its link and label, though
// the record names the dead visit's sefra in its store, or the drive's own
// folder beside a profile but outside a volume's root, or a folder in the
// root of a volume that holds no profile. The dead visit beside them goes.
TEST_F(LastProcess, ARecordForgedForADriveThatIsNoSefrasLeavesItAlone)
{
    KillAt("open-drive");
    char store = 'Z';
    while (store > 'C' && !IsSameFile(std::string(1, store) + ":\\", m_world.Content()))
        --store;
    ASSERT_GT(store, 'C') << "the dead visit's store has no drive";
    const std::string other = m_folder / "Other", windows = "C:\\windows";
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    ASSERT_TRUE(WriteText(m_folder / "Sefrabox.ini", ""));
    const std::pair<std::string, std::string> forged[] = {
        {other, std::string(1, store) + ":\\MainSefra"}, {other, other}, {windows, windows}};
    std::string drives;
    for (const auto &[linked, folder] : forged) {
        char drive[10] = {};
        ASSERT_TRUE(AllocDriveLetter(drive));
        ASSERT_EQ(0u, Our_IoCreateSymbolicLink((std::string("\\DosDevices\\") + drive).c_str(), linked.c_str(), 1));
        drives += drive[0];
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_LOCAL_MACHINE, DriveIconsKey(drive[0], "DefaultLabel").c_str(),
                                                 nullptr, REG_SZ, "Other", 6));
        ASSERT_EQ(0u, RunProgram(BinProgram("held_record_forger.exe") + " " + drive + " \"" + linked + "\" \"" +
                                 folder + "\""));
    }
    EXPECT_EQ(0u, Next("probe \"" + m_world.Store() + "\""));
    for (size_t i = 0; i < drives.size(); ++i) {
        const std::string drive = std::string(1, drives[i]) + ":";
        EXPECT_TRUE(IsSameFile(drive + "\\", forged[i].first)) << drive;
        EXPECT_EQ(std::string("Other", 6), MachineKeyText(DriveIconsKey(drives[i], "DefaultLabel"))) << drive;
        EXPECT_EQ(0u, Our_IoCreateSymbolicLink(("\\DosDevices\\" + drive).c_str(), "", 0));
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, DriveIconsKey(drives[i]).c_str());
        EXPECT_TRUE(DeleteFileA((HeldRecordFolder() + "\\link-" + drives[i] + ".rec").c_str())) << "kept";
    }
}

} // namespace
