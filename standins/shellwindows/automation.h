// automation.h - the IDispatch half of the provider's dual interfaces,
// answered through the platform's registered shell automation type
// library, and CDualDispatch, which gives an object those four members.
// Where the library is not registered, the members answer its loading
// error.
#pragma once

#include <oaidl.h>

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
        if (!pctinfo)
            return E_POINTER;
        *pctinfo = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo **ppTInfo) override
    {
        if (!ppTInfo)
            return E_POINTER;
        *ppTInfo = nullptr;
        return index != 0 ? DISP_E_BADINDEX : ShellTypeInfo(iid, ppTInfo);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        return ShellGetIDsOfNames(iid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *excepInfo, UINT *argErr) override
    {
        return ShellInvoke(iid, static_cast<Base *>(this), id, flags, params, result, excepInfo, argErr);
    }
};
