// bench_world.h - the demo worlds the figures run on (a store with the
// sefras 255 "MainSefra", 1 "WorkSefra" and 2 "PlaySefra", made by the
// stand-ins' make_demo_world; the stand-ins' configuration is chosen for
// each figure with CConfigOverride), and Sefrabox.dll loaded from the bin
// folder.
#pragma once

#include "config_override.h"
#include "demo_world.h"
#include "win/handles.h"

#include <windows.h>

#include <string>

// The main system's sefra, the one the figures visit.
constexpr char kMainSefra[] = "MainSefra";

// make_demo_world into folder (created); passwords main/work1/play2 unless
// noPasswords. The world's folder is empty when it could not be made.
DemoWorld MakeWorld(const std::string &folder, bool noPasswords);

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
