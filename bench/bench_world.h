// bench_world.h - the demo worlds the figures run on (a store with the
// sefras 255 "MainSefra", 1 "WorkSefra" and 2 "PlaySefra", made by the
// stand-ins' make_demo_world), the stand-ins' configuration of the running
// process and its children, and Sefrabox.dll loaded from the bin folder.
#pragma once

#include "win/handles.h"

#include <windows.h>

#include <string>

struct World {
    std::string folder; // empty: make_demo_world failed
    std::string Store() const { return folder + "\\Sefra.vpf"; }
    std::string Content() const { return folder + "\\Sefra.vpf.files"; }
    std::string Config() const { return folder + "\\Platforms.ini"; }
    std::string MainSefra() const { return Content() + "\\MainSefra"; }
};

// make_demo_world into folder (created); passwords main/work1/play2 unless
// noPasswords.
World MakeWorld(const std::string &folder, bool noPasswords);

// SEFRA_STANDIN_CONFIG for the scope's life; the children inherit it.
class CConfigScope {
public:
    explicit CConfigScope(const std::string &path);
    ~CConfigScope();
    CConfigScope(const CConfigScope &) = delete;
    CConfigScope &operator=(const CConfigScope &) = delete;

private:
    std::string m_previous;
    bool m_hadValue = false;
};

// Sefrabox.dll beside this program.
class CSefraboxDll {
public:
    CSefraboxDll();
    bool Loaded() const { return bool(m_module); }
    // The export of that ordinal as its own function type, or nullptr.
    template <typename Fn> Fn Entry(WORD ordinal) const
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(
            m_module ? GetProcAddress(m_module.Get(), MAKEINTRESOURCEA(ordinal)) : nullptr));
    }

private:
    CModuleHandle m_module;
};
