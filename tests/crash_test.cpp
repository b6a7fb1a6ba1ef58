// crash_test.cpp - the crash handler in a process that loads Sefrabox.dll and
// then faults: the dump program runs, the message box names the dump path
// fixed at load time, and without a dump program the system's own handling
// ends the process. The box is a real window on the test display.
#include "files.h"
#include "process.h"
#include "window_finders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kBoxCaption[] = "Brannick";

// A UTF-8 text in code page 936, as the product's texts are stored.
std::string Gbk(const char *utf8)
{
    wchar_t wide[512];
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char bytes[1024];
    const int length = WideCharToMultiByte(936, 0, wide, wideLength, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes, length > 0 ? length - 1 : 0);
}

std::string ExpectedMessage(const std::string &dumpPath)
{
    const std::string gap = std::string(15, '\t') + "   ";
    return Gbk(u8"尊敬的用户，我们的程序出现异常。已将异常信息记录在 ") + dumpPath + " ," + gap +
           Gbk(u8"此文件采用微软标准方法，收集错误数据，不会记录你的任何个人信息，") + gap +
           Gbk(u8"请将此文件传递给我们，以便能更好的为你服务，十分感谢！");
}

// The crash boxes of the process.
CWindowQuery CrashBoxes(HANDLE process)
{
    return ShownWindows().OfProcess(GetProcessId(process)).OfClass(kDialogClass).Titled(kBoxCaption);
}

// Waits for the crash box of the process; nullptr when the process ends
// first or no box came within a minute.
HWND WaitForCrashBox(HANDLE process)
{
    return CrashBoxes(process).WaitFor(60000, [process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; });
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param)
{
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0) {
        char text[2048];
        const int length = GetWindowTextA(child, text, sizeof text);
        auto longest = reinterpret_cast<std::string *>(param);
        if (length > static_cast<int>(longest->size()))
            longest->assign(text, length);
    }
    return TRUE;
}

std::string BoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

void PressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

// The probe's fault is an access violation. Under QEMU's user-mode emulation
// the fault carries no trap number and Wine reports an illegal instruction.
bool EndedByTheFault(DWORD exitCode)
{
    return exitCode == static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION) ||
           exitCode == static_cast<DWORD>(EXCEPTION_ILLEGAL_INSTRUCTION);
}

std::string Probe() { return BinProgram("crash_probe.exe"); }

} // namespace

TEST(CrashHandler, DumpWrittenAndBoxNamesThePathFixedAtLoad)
{
    CScratchFolder scratch;
    // 私密誠: its last byte, the trail byte of 誠 (D5 5C), is the code of '\'
    // and no separator.
    const std::string dir = scratch / "\xCB\xBD\xC3\xDC\xD5\x5C";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dir + "\\later").c_str(), nullptr));
    // A dump of an earlier run is deleted when the library loads.
    ASSERT_TRUE(WriteText(dir + "\\brann.dmp", "old dump"));

    // The probe changes into "later" after loading the library.
    CKernelHandle process = StartProgram(Probe() + " later", dir);
    ASSERT_TRUE(process);
    HWND box = WaitForCrashBox(process.Get());
    ASSERT_NE(nullptr, box) << "no message box; the probe ended with 0x" << std::hex << ExitCodeOf(process.Get());

    // The dump program ran in the current directory of the crash and had
    // ended before the box came up.
    EXPECT_EQ("MDMP", ReadText(dir + "\\later\\brann.dmp").substr(0, 4));
    EXPECT_FALSE(FileExists(dir + "\\brann.dmp"));
    EXPECT_EQ(ExpectedMessage(dir + "\\brann.dmp"), BoxText(box));

    PressOk(box);
    WaitForSingleObject(process.Get(), INFINITE);
    // The filter ended the process with the exception's code.
    EXPECT_TRUE(EndedByTheFault(ExitCodeOf(process.Get()))) << std::hex << ExitCodeOf(process.Get());
}

TEST(CrashHandler, DriveRootGetsNoSecondBackslash)
{
    DeleteFileA("C:\\brann.dmp");
    CKernelHandle process = StartProgram(Probe(), "C:\\");
    ASSERT_TRUE(process);
    HWND box = WaitForCrashBox(process.Get());
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(ExpectedMessage("C:\\brann.dmp"), BoxText(box));
    EXPECT_EQ("MDMP", ReadText("C:\\brann.dmp").substr(0, 4));
    PressOk(box);
    WaitForSingleObject(process.Get(), INFINITE);
    DeleteFileA("C:\\brann.dmp");
}

TEST(CrashHandler, WithoutDumpProgramTheSystemHandlesTheCrash)
{
    // A copy of the probe and the DLLs in a folder without userdump.exe; the
    // program search then finds none (the probe's folder, the current
    // folder, the system folders and PATH hold none).
    CScratchFolder dir;
    const std::string bin = BinDir();
    std::vector<std::string> files = {"crash_probe.exe"};
    WIN32_FIND_DATAA entry;
    CFindHandle find(FindFirstFileA((bin + "*.dll").c_str(), &entry));
    ASSERT_TRUE(find);
    do {
        files.push_back(entry.cFileName);
    } while (FindNextFileA(find.Get(), &entry));
    for (const std::string &file : files)
        ASSERT_TRUE(CopyFileA((bin + file).c_str(), (dir / file).c_str(), FALSE)) << file;
    char path[4096] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    char found[MAX_PATH] = {};
    ASSERT_EQ(0u, SearchPathA(path, "userdump.exe", nullptr, sizeof found, found, nullptr)) << found;

    CKernelHandle process = StartProgram("\"" + (dir / "crash_probe.exe") + "\"", dir.Path());
    ASSERT_TRUE(process);
    while (WaitForSingleObject(process.Get(), 50) == WAIT_TIMEOUT) {
        if (HWND box = CrashBoxes(process.Get()).First()) {
            ADD_FAILURE() << "message box shown without a dump program";
            PressOk(box);
        }
    }
    EXPECT_TRUE(EndedByTheFault(ExitCodeOf(process.Get()))) << std::hex << ExitCodeOf(process.Get());
    EXPECT_FALSE(FileExists(dir / "brann.dmp"));
}
