// automation.h - the IDispatch half of the provider's dual interfaces,
// answered through the platform's registered shell automation type
// library, and CDualDispatch, which gives an object those four members.
// Where the library is not registered, the members answer its loading
// error.
#pragma once

#include "provider_trace.h"

#include <oaidl.h>

// The object's name in the trace: ShellWindows or Browser.
const char *DualObjectName(REFIID iid);
// The vtable description of the dual interface iid.
HRESULT ShellTypeInfo(REFIID iid, ITypeInfo **out);
HRESULT ShellGetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, DISPID *ids);
// object: the interface pointer of iid on the object called.
HRESULT ShellInvoke(REFIID iid, void *object, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                    EXCEPINFO *excepInfo, UINT *argErr);

// The IDispatch members of Base, whose vtable is the dual interface iid.
template <typename Base, const IID &iid> class CDualDispatch : public Base {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *pctinfo) override
    {
        ProviderTrace("%s(%08lX)::GetTypeInfoCount()", DualObjectName(iid), TraceId(this));
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo **ppTInfo) override
    {
        ProviderTrace("%s(%08lX)::GetTypeInfo(%u)", DualObjectName(iid), TraceId(this), index);
        if (!ppTInfo)
            return E_POINTER;
        *ppTInfo = nullptr;
        return index != 0 ? DISP_E_BADINDEX : ShellTypeInfo(iid, ppTInfo);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        ProviderTrace("%s(%08lX)::GetIDsOfNames(%s)", DualObjectName(iid), TraceId(this),
                      names && count && names[0] ? TraceText(names[0]).c_str() : "");
        return ShellGetIDsOfNames(iid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *excepInfo, UINT *argErr) override
    {
        ProviderTrace("%s(%08lX)::Invoke(%ld)", DualObjectName(iid), TraceId(this), id);
        return ShellInvoke(iid, static_cast<Base *>(this), id, flags, params, result, excepInfo, argErr);
    }
};
