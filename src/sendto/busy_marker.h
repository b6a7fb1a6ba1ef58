// busy_marker.h - the busy marker: a named file mapping whose existence tells
// the suite's programs that one of them is working on a sefra. It carries the
// display title of the program that holds it.
#pragma once

#include "win/handles.h"

#include <windows.h>

constexpr char kBusyMarkerName[] = "8230B992-BB40-487c-A46D-61E63A965565";
constexpr DWORD kBusyMarkerBytes = 260;

class CBusyMarker {
public:
    CBusyMarker() = default;
    CBusyMarker(const CBusyMarker &) = delete;
    CBusyMarker &operator=(const CBusyMarker &) = delete;

    // Creates the marker under the suite's mapping guard (waited for without
    // limit) and writes the module title into it. 0: held until this object
    // goes. 183: another program holds it; its title was shown to the user.
    // Any other code: the creation failed; its error text was shown.
    DWORD Claim();

private:
    CKernelHandle m_hMapping;
};
