// resource_module.cpp - definition of g_hSefraboxInstance.
#include "win/resource_module.h"

HINSTANCE g_hSefraboxInstance = nullptr;
