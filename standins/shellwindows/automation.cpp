// automation.cpp - dispatch through the shell automation type library.
#include "automation.h"

#include "win/com_ptr.h"

#include <exdisp.h>

const char *DualObjectName(REFIID iid) { return IsEqualIID(iid, IID_IShellWindows) ? "ShellWindows" : "Browser"; }

HRESULT ShellTypeInfo(REFIID iid, ITypeInfo **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    CComPtr<ITypeLib> library;
    HRESULT hr = LoadRegTypeLib(LIBID_SHDocVw, 1, 1, LOCALE_NEUTRAL, library.Receive());
    if (FAILED(hr))
        return hr;
    CComPtr<ITypeInfo> info;
    hr = library->GetTypeInfoOfGuid(iid, info.Receive());
    if (FAILED(hr))
        return hr;
    // A dual interface is described as a dispatch interface; its vtable
    // half is what the calls go through.
    TYPEATTR *attr = nullptr;
    hr = info->GetTypeAttr(&attr);
    if (FAILED(hr))
        return hr;
    const bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attr);
    if (dual) {
        HREFTYPE ref = 0;
        CComPtr<ITypeInfo> vtable;
        if (SUCCEEDED(info->GetRefTypeOfImplType(-1, &ref)) && SUCCEEDED(info->GetRefTypeInfo(ref, vtable.Receive())))
            info = vtable;
    }
    *out = info.Detach();
    return S_OK;
}

HRESULT ShellGetIDsOfNames(REFIID iid, LPOLESTR *names, UINT count, DISPID *ids)
{
    CComPtr<ITypeInfo> info;
    const HRESULT hr = ShellTypeInfo(iid, info.Receive());
    return FAILED(hr) ? hr : DispGetIDsOfNames(info.Get(), names, count, ids);
}

HRESULT ShellInvoke(REFIID iid, void *object, DISPID id, WORD flags, DISPPARAMS *params, VARIANT *result,
                    EXCEPINFO *excepInfo, UINT *argErr)
{
    CComPtr<ITypeInfo> info;
    const HRESULT hr = ShellTypeInfo(iid, info.Receive());
    return FAILED(hr) ? hr : DispInvoke(object, info.Get(), id, flags, params, result, excepInfo, argErr);
}
