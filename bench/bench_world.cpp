// bench_world.cpp - demo worlds, the configuration variable, the library.
#include "bench_world.h"

#include "bench_util.h"

namespace {
constexpr char kConfigVariable[] = "SEFRA_STANDIN_CONFIG";
constexpr DWORD kWorldTimeoutMs = 60000;
} // namespace

World MakeWorld(const std::string &folder, bool noPasswords)
{
    World world;
    if (!MakeFolder(folder))
        return world;
    const ChildRun run = RunChild("\"" + BinDir() + "make_demo_world.exe\" " + (noPasswords ? "--no-passwords " : "") +
                                      "\"" + folder + "\"",
                                  kWorldTimeoutMs);
    if (run.started && !run.timedOut && run.exitCode == 0)
        world.folder = folder;
    return world;
}

CConfigScope::CConfigScope(const std::string &path)
{
    char previous[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(kConfigVariable, previous, sizeof previous);
    m_hadValue = length > 0 && length < sizeof previous;
    m_previous = m_hadValue ? previous : "";
    SetEnvironmentVariableA(kConfigVariable, path.c_str());
}

CConfigScope::~CConfigScope() { SetEnvironmentVariableA(kConfigVariable, m_hadValue ? m_previous.c_str() : nullptr); }

CSefraboxDll::CSefraboxDll() : m_module(LoadLibraryA((BinDir() + "Sefrabox.dll").c_str())) {}
