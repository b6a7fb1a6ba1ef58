// bench_world.cpp - demo worlds and the library.
#include "bench_world.h"

#include "bench_util.h"

namespace {
constexpr DWORD kWorldTimeoutMs = 60000;
} // namespace

DemoWorld MakeWorld(const std::string &folder, bool noPasswords)
{
    if (!MakeFolder(folder) || MakeDemoWorld(folder, noPasswords ? "--no-passwords" : "", kWorldTimeoutMs) != 0)
        return DemoWorld();
    return DemoWorld{folder};
}

CSefraboxDll::CSefraboxDll() : m_module(LoadLibraryA((BinDir() + "Sefrabox.dll").c_str())) {}
