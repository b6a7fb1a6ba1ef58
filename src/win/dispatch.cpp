// dispatch.cpp - CDispatchSink and the connection-point helpers.
#include "win/dispatch.h"

#include "win/com_ptr.h"

HRESULT STDMETHODCALLTYPE CDispatchSink::QueryInterface(REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEventInterface(iid)) {
        *ppv = static_cast<IDispatch *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CDispatchSink::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }

ULONG STDMETHODCALLTYPE CDispatchSink::Release() { return static_cast<ULONG>(InterlockedDecrement(&m_cRef)); }

HRESULT STDMETHODCALLTYPE CDispatchSink::GetTypeInfoCount(UINT *pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDispatchSink::GetTypeInfo(UINT, LCID, ITypeInfo **ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CDispatchSink::GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CDispatchSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS *params, VARIANT *result,
                                                EXCEPINFO *, UINT *)
{
    if (result)
        VariantInit(result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    // No exception may unwind into the event source.
    try {
        return OnInvoke(id, params ? params : &none) ? S_OK : DISP_E_MEMBERNOTFOUND;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

namespace {

// The connection point of source for the event interface iid.
HRESULT FindConnectionPointOf(IUnknown *source, REFIID iid, CComPtr<IConnectionPoint> &point)
{
    CComPtr<IConnectionPointContainer> container;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
    if (FAILED(hr))
        return hr;
    return container->FindConnectionPoint(iid, point.Receive());
}

} // namespace

HRESULT ConnectionAdvise(IUnknown *source, REFIID iid, IUnknown *sink, DWORD *cookie)
{
    if (cookie)
        *cookie = 0;
    if (!source || !sink || !cookie)
        return E_POINTER;
    CComPtr<IConnectionPoint> point;
    const HRESULT hr = FindConnectionPointOf(source, iid, point);
    return FAILED(hr) ? hr : point->Advise(sink, cookie);
}

HRESULT ConnectionUnadvise(IUnknown *source, REFIID iid, DWORD cookie)
{
    if (!source)
        return E_POINTER;
    CComPtr<IConnectionPoint> point;
    const HRESULT hr = FindConnectionPointOf(source, iid, point);
    return FAILED(hr) ? hr : point->Unadvise(cookie);
}
