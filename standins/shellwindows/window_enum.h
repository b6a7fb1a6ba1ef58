// window_enum.h - the enumerator that _NewEnum hands out: the browser
// objects of the windows shown when it was made, as dispatch variants.
#pragma once

#include "browser.h"

#include "win/com_ptr.h"

#include <oaidl.h>

#include <vector>

// S_OK and *out, or E_OUTOFMEMORY.
HRESULT CreateWindowEnum(const std::vector<CComPtr<CBrowser>> &items, IEnumVARIANT **out);
