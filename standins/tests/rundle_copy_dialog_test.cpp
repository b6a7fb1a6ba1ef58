// rundle_copy_dialog_test.cpp - the copy dialog driven through its window:
// a second thread finds the dialog, picks targets and files with list box
// messages, presses the buttons and checks the copies on disk.
//
// Drives: folders under C:\ get drive letters of their own through the
// Kestor stand-in's drive links (Wine's mount manager; DefineDosDeviceA
// drives cannot reach files under Wine), so the dialog sees real drive
// texts ("X:"), and the copies are checked in the folders behind them.
#include "copy_dialog_ids.h"
#include "files.h"
#include "product_texts.h"
#include "suite/Kestor.h"
#include "suite/Palmet.h"
#include "suite/Rundle.h"
#include "window_finders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Unique(const std::string &stem) { return stem + "_" + std::to_string(GetCurrentProcessId()); }

// Files and folders this test creates, removed (files first) at the end.
class Scratch {
public:
    ~Scratch()
    {
        for (auto it = m_files.rbegin(); it != m_files.rend(); ++it)
            DeleteFileA(it->c_str());
        for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
            RemoveDirectoryA(it->c_str());
    }
    std::string Folder(const std::string &path)
    {
        CreateDirectoryA(path.c_str(), nullptr);
        m_folders.push_back(path);
        return path;
    }
    std::string File(const std::string &path, const std::string &text = std::string())
    {
        if (!text.empty())
            WriteText(path, text);
        m_files.push_back(path);
        return path;
    }

private:
    std::vector<std::string> m_files;
    std::vector<std::string> m_folders;
};

// A free drive letter leading to folder, for the object's life; Text() is
// empty when no letter could be linked.
class LinkedDrive {
public:
    explicit LinkedDrive(const std::string &folder)
    {
        char text[10] = {};
        if (AllocDriveLetter(text) && Our_IoCreateSymbolicLink(LinkName(text).c_str(), folder.c_str(), 1) == 0)
            m_text = text;
    }
    ~LinkedDrive()
    {
        if (!m_text.empty())
            Our_IoCreateSymbolicLink(LinkName(m_text).c_str(), "", 0);
    }
    LinkedDrive(const LinkedDrive &) = delete;
    LinkedDrive &operator=(const LinkedDrive &) = delete;
    const std::string &Text() const { return m_text; }

private:
    static std::string LinkName(const std::string &text) { return "\\DosDevices\\" + text; }
    std::string m_text;
};

// The dialog as a user sees it, from another thread.
class DialogUser {
public:
    explicit DialogUser(HWND dialog) : m_dialog(dialog) {}

    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    std::string Text(int id) const
    {
        char buf[512] = {};
        GetWindowTextA(Item(id), buf, sizeof buf);
        return buf;
    }
    std::string Title() const
    {
        char buf[512] = {};
        GetWindowTextA(m_dialog, buf, sizeof buf);
        return buf;
    }
    std::vector<std::string> Lines(int listId) const
    {
        std::vector<std::string> lines;
        const LRESULT count = SendMessageA(Item(listId), LB_GETCOUNT, 0, 0);
        for (LRESULT k = 0; k < count; ++k) {
            char buf[512] = {};
            if (SendMessageA(Item(listId), LB_GETTEXTLEN, WPARAM(k), 0) < LRESULT(sizeof buf))
                SendMessageA(Item(listId), LB_GETTEXT, WPARAM(k), reinterpret_cast<LPARAM>(buf));
            lines.push_back(buf);
        }
        return lines;
    }
    bool Lists(int listId, const std::string &line) const
    {
        for (const auto &l : Lines(listId))
            if (l == line)
                return true;
        return false;
    }
    // What the list box reports to the dialog when the user clicks a line.
    void ChooseTarget(int index) const
    {
        SendMessageA(Item(IDC_TARGETS), LB_SETCURSEL, WPARAM(index), 0);
        Notify(IDC_TARGETS, LBN_SELCHANGE);
    }
    bool SelectFile(int listId, const std::string &line) const
    {
        const LRESULT index =
            SendMessageA(Item(listId), LB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(line.c_str()));
        if (index == LB_ERR)
            return false;
        SendMessageA(Item(listId), LB_SETSEL, TRUE, index);
        Notify(listId, LBN_SELCHANGE);
        return true;
    }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // A click on the button; returns when the dialog has handled it.
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    // The command a click would send, whatever the button's state.
    void ForceCommand(int id) const
    {
        SendMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
    }
    void Close() const { PostMessageA(m_dialog, WM_CLOSE, 0, 0); }

private:
    void Notify(int id, int code) const
    {
        SendMessageA(m_dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }

    HWND m_dialog;
};

// Runs the dialog on this thread while `act` plays the user on another one.
// The user thread waits until the dialog titled `title` is visible (the
// dialog has then finished its set-up), acts, and closes it if `act` left
// it open. Returns copy_file_dialog's result; *shown tells whether a
// dialog appeared.
int RunWithUser(const std::string &title, const std::function<int()> &callDialog,
                const std::function<void(const DialogUser &)> &act, bool *shown)
{
    std::atomic<bool> returned{false};
    std::atomic<bool> found{false};
    std::thread user([&] {
        // Bounded so that a dialog that never comes cannot hang the test.
        const HWND dialog =
            ShownWindows().OfClass(kDialogClass).Titled(title.c_str()).WaitFor(60000, [&] { return returned.load(); });
        if (!dialog)
            return;
        found = true;
        act(DialogUser(dialog));
        if (IsWindow(dialog))
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    const int result = callDialog();
    returned = true;
    user.join();
    *shown = found;
    return result;
}

class RundleCopyDialog : public ::testing::Test {
protected:
    Scratch m_scratch;
};

TEST_F(RundleCopyDialog, CopiesInAndOutAndHonoursWritableFlags)
{
    const std::string destRoot = m_scratch.Folder("C:\\" + Unique("rundle_dest"));
    const std::string writableRoot = m_scratch.Folder("C:\\" + Unique("rundle_w"));
    const std::string readOnlyRoot = m_scratch.Folder("C:\\" + Unique("rundle_r"));
    const std::string inName = "in.txt";
    const std::string gbName = "\xB1\xA3\xCF\xD5.txt"; // 保险.txt: a double-byte name
    const std::string outName = "out.txt";
    const std::string roName = "ro.txt";
    m_scratch.File(writableRoot + "\\" + inName, "copied in");
    m_scratch.File(writableRoot + "\\" + gbName, "double-byte name");
    m_scratch.File(readOnlyRoot + "\\" + roName, "from a read-only drive");
    m_scratch.File(destRoot + "\\" + outName, "copied out");
    m_scratch.File(destRoot + "\\" + inName);
    m_scratch.File(destRoot + "\\" + gbName);
    m_scratch.File(destRoot + "\\" + roName);
    m_scratch.File(writableRoot + "\\" + outName);
    m_scratch.File(readOnlyRoot + "\\" + outName);
    const LinkedDrive dest(destRoot), writableDrive(writableRoot), readOnlyDrive(readOnlyRoot);
    ASSERT_FALSE(dest.Text().empty());
    ASSERT_FALSE(writableDrive.Text().empty());
    ASSERT_FALSE(readOnlyDrive.Text().empty());

    const std::string title = Unique("Rundle copy test");
    const std::string destName = kProductName;
    const char *paths[] = {writableDrive.Text().c_str(), readOnlyDrive.Text().c_str(), "C:"};
    const char *names[] = {"writable drive", "read-only drive", "C:"};
    const unsigned char writable[] = {1, 0, 1};

    struct Seen {
        std::string title, dest, status;
        std::vector<std::string> targets;
        bool firstChosen = false, inEnabledBeforeSelection = true, inEnabled = false, outEnabledWithoutSelection = true;
        bool selectedIn = false, selectedOut = false, outEnabled = false, outEnabledReadOnly = true;
        bool selectedRo = false, inEnabledReadOnly = false, destListsCopy = false, driveRootListed = false;
    } seen;

    bool shown = false;
    const int result = RunWithUser(
        title,
        [&] { return copy_file_dialog(dest.Text()[0], 1, destName.c_str(), 3, paths, writable, names, title.c_str()); },
        [&](const DialogUser &u) {
            seen.title = u.Title();
            seen.dest = u.Text(IDC_DEST_LABEL);
            seen.targets = u.Lines(IDC_TARGETS);
            // The first target is chosen when the dialog opens.
            seen.firstChosen = u.Lists(IDC_TARGET_FILES, inName);

            u.ChooseTarget(0);
            seen.inEnabledBeforeSelection = u.Enabled(IDC_COPY_IN);
            seen.selectedIn = u.SelectFile(IDC_TARGET_FILES, inName) && u.SelectFile(IDC_TARGET_FILES, gbName);
            seen.inEnabled = u.Enabled(IDC_COPY_IN);
            seen.outEnabledWithoutSelection = u.Enabled(IDC_COPY_OUT);
            u.Click(IDC_COPY_IN);
            seen.status = u.Text(IDC_STATUS);
            seen.destListsCopy = u.Lists(IDC_DEST_FILES, inName);

            seen.selectedOut = u.SelectFile(IDC_DEST_FILES, outName);
            seen.outEnabled = u.Enabled(IDC_COPY_OUT);
            u.Click(IDC_COPY_OUT);

            u.ChooseTarget(1);
            u.SelectFile(IDC_DEST_FILES, outName);
            seen.outEnabledReadOnly = u.Enabled(IDC_COPY_OUT);
            u.ForceCommand(IDC_COPY_OUT); // ignored: the target is read-only
            seen.selectedRo = u.SelectFile(IDC_TARGET_FILES, roName);
            seen.inEnabledReadOnly = u.Enabled(IDC_COPY_IN);
            u.Click(IDC_COPY_IN);

            // A drive text lists the drive's root folder.
            u.ChooseTarget(2);
            for (const auto &line : u.Lines(IDC_TARGET_FILES))
                if (lstrcmpiA(line.c_str(), "windows\\") == 0)
                    seen.driveRootListed = true;
            u.Click(IDCANCEL);
        },
        &shown);

    ASSERT_TRUE(shown);
    EXPECT_EQ(0, result);
    EXPECT_EQ(title, seen.title);
    EXPECT_EQ(dest.Text() + "  " + destName + "  [writable]", seen.dest);
    const std::vector<std::string> targets = {writableDrive.Text() + "  writable drive  [writable]",
                                              readOnlyDrive.Text() + "  read-only drive  [read-only]",
                                              "C:  [writable]"};
    EXPECT_EQ(targets, seen.targets);
    EXPECT_TRUE(seen.firstChosen);

    EXPECT_FALSE(seen.inEnabledBeforeSelection);
    EXPECT_TRUE(seen.selectedIn);
    EXPECT_TRUE(seen.inEnabled);
    EXPECT_FALSE(seen.outEnabledWithoutSelection);
    EXPECT_EQ("Copied 2 item(s).", seen.status);
    EXPECT_EQ("copied in", ReadText(destRoot + "\\" + inName));
    EXPECT_EQ("double-byte name", ReadText(destRoot + "\\" + gbName));
    EXPECT_TRUE(seen.destListsCopy);

    EXPECT_TRUE(seen.selectedOut);
    EXPECT_TRUE(seen.outEnabled);
    EXPECT_EQ("copied out", ReadText(writableRoot + "\\" + outName));

    EXPECT_FALSE(seen.outEnabledReadOnly);
    EXPECT_FALSE(FileExists(readOnlyRoot + "\\" + outName));
    EXPECT_TRUE(seen.selectedRo);
    EXPECT_TRUE(seen.inEnabledReadOnly);
    EXPECT_EQ("from a read-only drive", ReadText(destRoot + "\\" + roName));

    EXPECT_TRUE(seen.driveRootListed);
}

TEST_F(RundleCopyDialog, ReadOnlyDestinationTakesNothingIn)
{
    // A target may also be a folder path: its folder is listed as the root.
    const std::string root = m_scratch.Folder("C:\\" + Unique("rundle_src"));
    const std::string destRoot = m_scratch.Folder("C:\\" + Unique("rundle_ro_dest"));
    const std::string name = "kept.txt";
    m_scratch.File(root + "\\" + name, "x");
    m_scratch.File(destRoot + "\\" + name);
    const LinkedDrive dest(destRoot);
    ASSERT_FALSE(dest.Text().empty());
    const char destLetter = char(dest.Text()[0] | 0x20); // lower case is taken as well
    const std::string title = Unique("Rundle read-only destination");
    const char *paths[] = {root.c_str()};
    const char *names[] = {root.c_str()};
    const unsigned char writable[] = {1};

    bool selected = false, inEnabled = true;
    std::string destLine;
    bool shown = false;
    const int result = RunWithUser(
        title, [&] { return copy_file_dialog(destLetter, 0, nullptr, 1, paths, writable, names, title.c_str()); },
        [&](const DialogUser &u) {
            destLine = u.Text(IDC_DEST_LABEL);
            selected = u.SelectFile(IDC_TARGET_FILES, name);
            inEnabled = u.Enabled(IDC_COPY_IN);
            u.ForceCommand(IDC_COPY_IN);
            u.Close(); // the caption's close box
        },
        &shown);
    ASSERT_TRUE(shown);
    EXPECT_EQ(0, result);
    EXPECT_EQ(std::string(1, destLetter) + ":    [read-only]", destLine);
    EXPECT_TRUE(selected);
    EXPECT_FALSE(inEnabled);
    EXPECT_FALSE(FileExists(destRoot + "\\" + name));
}

// Two committed pages, the second one inaccessible.
class GuardedPages {
public:
    GuardedPages()
    {
        m_base = static_cast<char *>(VirtualAlloc(nullptr, 2 * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        if (m_base)
            VirtualProtect(m_base + 4096, 4096, PAGE_NOACCESS, &old);
    }
    ~GuardedPages()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    GuardedPages(const GuardedPages &) = delete;
    GuardedPages &operator=(const GuardedPages &) = delete;
    char *Inaccessible() const { return m_base + 4096; }
    // cb bytes just before the inaccessible page.
    char *Tail(size_t cb) const { return m_base + 4096 - cb; }

private:
    char *m_base = nullptr;
};

TEST_F(RundleCopyDialog, UnusableArgumentsAreRefusedWithoutADialog)
{
    const std::string title = Unique("Rundle refused");
    const char *paths[] = {"C:", "C:"};
    const char *names[] = {"C:", "C:"};
    const unsigned char writable[] = {1, 1};
    GuardedPages pages;
    ASSERT_NE(nullptr, pages.Inaccessible());
    const char *badPaths[] = {"C:", pages.Inaccessible()};
    char *unterminated = pages.Tail(8);
    std::fill(unterminated, unterminated + 8, 'x');
    const char *unterminatedNames[] = {"C:", unterminated};
    // Two pointers of which only the first is readable.
    GuardedPages arrayPages;
    ASSERT_NE(nullptr, arrayPages.Inaccessible());
    const char **shortArray = reinterpret_cast<const char **>(arrayPages.Tail(sizeof(char *)));
    shortArray[0] = "C:";

    const std::vector<std::pair<const char *, std::function<int()>>> calls = {
        {"28 targets", [&] { return copy_file_dialog('C', 1, "d", 28, paths, writable, names, title.c_str()); }},
        {"null paths", [&] { return copy_file_dialog('C', 1, "d", 1, nullptr, writable, names, title.c_str()); }},
        {"null flags", [&] { return copy_file_dialog('C', 1, "d", 1, paths, nullptr, names, title.c_str()); }},
        {"null names", [&] { return copy_file_dialog('C', 1, "d", 1, paths, writable, nullptr, title.c_str()); }},
        {"unreadable path", [&] { return copy_file_dialog('C', 1, "d", 2, badPaths, writable, names, title.c_str()); }},
        {"unterminated name",
         [&] { return copy_file_dialog('C', 1, "d", 2, paths, writable, unterminatedNames, title.c_str()); }},
        {"short array", [&] { return copy_file_dialog('C', 1, "d", 2, shortArray, writable, names, title.c_str()); }},
        {"empty path",
         [&] {
             const char *empty[] = {""};
             return copy_file_dialog('C', 1, "d", 1, empty, writable, names, title.c_str());
         }},
        {"unreadable title", [&] { return copy_file_dialog('C', 1, "d", 1, paths, writable, names, unterminated); }},
        {"unreadable name",
         [&] { return copy_file_dialog('C', 1, pages.Inaccessible(), 1, paths, writable, names, title.c_str()); }},
        {"no drive letter", [&] { return copy_file_dialog('1', 1, "d", 1, paths, writable, names, title.c_str()); }},
    };
    for (const auto &call : calls) {
        bool shown = false;
        const int result = RunWithUser(
            title, call.second, [](const DialogUser &) {}, &shown);
        EXPECT_EQ(ERROR_INVALID_PARAMETER, result) << call.first;
        EXPECT_FALSE(shown) << call.first;
    }

    // Without targets the arrays are not needed.
    bool shown = false;
    std::vector<std::string> targets{"x"};
    const int result = RunWithUser(
        title, [&] { return copy_file_dialog('C', 1, "d", 0, nullptr, nullptr, nullptr, title.c_str()); },
        [&](const DialogUser &u) {
            targets = u.Lines(IDC_TARGETS);
            u.Click(IDCANCEL);
        },
        &shown);
    EXPECT_TRUE(shown);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(targets.empty());
}

} // namespace
