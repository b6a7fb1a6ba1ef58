// config_override.cpp - CConfigOverride (see config_override.h).
#include "config_override.h"

#include <windows.h>

namespace {
constexpr char kConfigVariable[] = "SEFRA_STANDIN_CONFIG";
} // namespace

CConfigOverride::CConfigOverride(const std::string &path)
{
    char previous[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(kConfigVariable, previous, sizeof previous);
    m_hadValue = length > 0 && length < sizeof previous;
    m_previous = m_hadValue ? previous : "";
    SetEnvironmentVariableA(kConfigVariable, path.c_str());
}

CConfigOverride::~CConfigOverride()
{
    SetEnvironmentVariableA(kConfigVariable, m_hadValue ? m_previous.c_str() : nullptr);
}
