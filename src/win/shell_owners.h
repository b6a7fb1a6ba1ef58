// shell_owners.h - owners for the shell's and automation's values: CItemIdList
// (an item-id list, freed with ILFree), CBstr (a BSTR, freed with
// SysFreeString) and CVariant (a VARIANT, cleared with VariantClear).
#pragma once

#include "win/handles.h"

#include <oleauto.h>
#include <shlobj.h>

namespace handles_detail {
struct ItemIdListTraits {
    using Type = LPITEMIDLIST;
    static LPITEMIDLIST Invalid() { return nullptr; }
    static void Close(LPITEMIDLIST p) { ILFree(p); }
};
struct BstrTraits {
    using Type = BSTR;
    static BSTR Invalid() { return nullptr; }
    static void Close(BSTR b) { SysFreeString(b); }
};
} // namespace handles_detail

using CItemIdList = CUniqueHandle<handles_detail::ItemIdListTraits>;

// A BSTR: CBstr(SysAllocString(L"text")); null when out of memory.
using CBstr = CUniqueHandle<handles_detail::BstrTraits>;

// One VARIANT, empty until given a value, cleared when it goes: a BSTR it
// holds is freed with it, an interface released.
class CVariant {
public:
    CVariant() { VariantInit(&m_v); }
    // VT_I4.
    explicit CVariant(LONG value) : CVariant()
    {
        V_VT(&m_v) = VT_I4;
        V_I4(&m_v) = value;
    }
    // VT_BSTR: takes the text over.
    explicit CVariant(CBstr text) : CVariant()
    {
        V_VT(&m_v) = VT_BSTR;
        V_BSTR(&m_v) = text.Detach();
    }
    // VT_BOOL.
    static CVariant Bool(bool value)
    {
        CVariant v;
        V_VT(&v.m_v) = VT_BOOL;
        V_BOOL(&v.m_v) = value ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    ~CVariant() { VariantClear(&m_v); }
    CVariant(CVariant &&o) noexcept : m_v(o.m_v) { VariantInit(&o.m_v); }
    CVariant(const CVariant &) = delete;
    CVariant &operator=(const CVariant &) = delete;
    CVariant &operator=(CVariant &&) = delete;

    // For [in] VARIANT arguments: the callee reads the value and frees nothing.
    const VARIANT &Value() const { return m_v; }
    VARIANT *Get() { return &m_v; }

private:
    VARIANT m_v;
};
