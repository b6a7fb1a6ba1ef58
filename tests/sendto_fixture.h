// sendto_fixture.h - the fixture of the Send To tests that run whole
// requests on the demo world, each in its own process as the shell starts
// them: through the system's rundll32.exe and through sendto_child.exe, which
// calls MySendTo directly and exits with its result. A second thread answers
// the password dialog and the message boxes; the trace of every process is
// collected beside.
#pragma once

#include "files.h"
#include "process.h"
#include "box_answerer.h"
#include "product_texts.h"
#include "trace_monitor.h"
#include "ui_support.h"
#include "window_finders.h"
#include "world_test.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The sefras' names as their boxes show them.
inline const std::string kMainSystemSefra = std::string(kMainSystem) + kProductName;
inline const std::string kWorkSefra = std::string(kDemoWorkPlatform) + kProductName;
inline const std::string kPlaySefra = std::string(kDemoPlayPlatform) + kProductName;
inline constexpr char kMarkerName[] = "8230B992-BB40-487c-A46D-61E63A965565";
// A request that runs longer than this has hung: it is ended and fails.
inline constexpr DWORD kRequestLimitMs = 120000;

enum class Host { Direct, Rundll32 };

inline const char *HostName(Host host) { return host == Host::Direct ? "sendto_child" : "rundll32"; }

struct Request {
    DWORD result = MAXDWORD;
    DWORD pid = 0;
    std::vector<std::string> lines;
    bool HasLine(const std::string &text) const { return CountLinesWith(lines, text) != 0; }
};

// The text in the busy marker, or "(none)" when no program holds it.
inline std::string MarkerText()
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, kMarkerName);
    if (!mapping)
        return "(none)";
    const char *view = static_cast<const char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    const std::string text = view ? std::string(view, strnlen(view, 260)) : "(unreadable)";
    if (view)
        UnmapViewOfFile(view);
    CloseHandle(mapping);
    return text;
}

class SendToRequests : public DemoWorldTest {
protected:
    void SetUp() override
    {
        DemoWorldTest::SetUp();
        ASSERT_TRUE(m_library);
        m_shared = CSharedView(SharedBlockOf(m_library.Get()));
        ASSERT_TRUE(m_shared.Valid());
        ASSERT_TRUE(m_monitor.Ready()) << "no debug output monitor";
    }

    void TearDown() override
    {
        DemoWorldTest::TearDown();
        EXPECT_EQ("(none)", MarkerText()) << "the busy marker was left open";
    }

    void MakeWorld(bool passwords) { DemoWorldTest::MakeWorld(passwords ? "" : "--no-passwords"); }

    std::string SefraFolder(const char *target) const { return m_world.Sefra(target); }

    // A file of the source folder; returns its full path.
    std::string Source(const std::string &name)
    {
        const std::string path = m_sources / name;
        EXPECT_TRUE(WriteText(path, "sent: " + name + "\r\n"));
        return path;
    }

    // Whether name arrived in the sefra folder with its content.
    bool Arrived(const char *target, const std::string &name) const
    {
        return ReadText(SefraFolder(target) + "\\" + name) == "sent: " + name + "\r\n";
    }

    // Starts a request with this command line after the library's path and
    // its comma, waits for its end and collects its result and trace. The
    // direct host's exit code is MySendTo's result; rundll32 drops it, so the
    // last traced result counts there.
    Request Start(Host host, const std::string &tail, HANDLE *running = nullptr)
    {
        const std::string bin = BinDir();
        const std::string line = (host == Host::Direct ? BinProgram("sendto_child.exe") + " " : "rundll32.exe ") + bin +
                                 "Sefrabox.dll," + tail;
        return StartLine(host, line, running);
    }

    Request StartLine(Host host, const std::string &line, HANDLE *running = nullptr)
    {
        Request request;
        CKernelHandle process = StartProgram(line, BinDir());
        if (!process)
            return request;
        request.pid = GetProcessId(process.Get());
        m_answerer.Serve(request.pid);
        if (running) {
            *running = process.Detach();
            return request;
        }
        Finish(host, process.Get(), request);
        return request;
    }

    void Finish(Host host, HANDLE process, Request &request)
    {
        if (WaitForSingleObject(process, kRequestLimitMs) != WAIT_OBJECT_0) {
            ADD_FAILURE() << HostName(host) << " request did not end";
            TerminateProcess(process, 1);
            WaitForSingleObject(process, INFINITE);
        }
        EXPECT_TRUE(m_monitor.CatchUp()) << "the request's last trace lines were not taken";
        request.lines = m_monitor.LinesOf(request.pid);
        if (host == Host::Direct) {
            request.result = ExitCodeOf(process);
        } else {
            for (const std::string &line : request.lines) {
                unsigned code = 0;
                if (std::sscanf(line.c_str(), "dwErrCode = 0x%X", &code) == 1)
                    request.result = code;
            }
        }
    }

    // Loaded before the answering thread starts: under Wine, a library that
    // loads the common controls while another thread makes its first window
    // call can wait on that thread for good.
    CModuleHandle m_library{LoadLibraryA("Sefrabox.dll")};
    CScratchFolder m_sources;
    CTraceMonitor m_monitor;
    CBoxAnswerer m_answerer;
};
