// config_override.h - the stand-ins' platform configuration chosen for a
// scope.
#pragma once

#include <string>

// Sets SEFRA_STANDIN_CONFIG to path for the object's life; the programs
// started meanwhile inherit it. The earlier value, or its absence, comes
// back afterwards.
class CConfigOverride {
public:
    explicit CConfigOverride(const std::string &path);
    ~CConfigOverride();
    CConfigOverride(const CConfigOverride &) = delete;
    CConfigOverride &operator=(const CConfigOverride &) = delete;

private:
    bool m_hadValue = false;
    std::string m_previous;
};
