// event_source.cpp - CEventSource (see event_source.h).
#include "event_source.h"

#include <olectl.h>

HRESULT STDMETHODCALLTYPE CEventSource::QueryInterface(REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *ppv = static_cast<IConnectionPoint *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CEventSource::GetConnectionInterface(IID *iid)
{
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEventSource::GetConnectionPointContainer(IConnectionPointContainer **ppc)
{
    if (!ppc)
        return E_POINTER;
    *ppc = m_owner;
    m_owner->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEventSource::Advise(IUnknown *sink, DWORD *cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    CComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(m_iid, dispatch.ReceiveVoid())) || !dispatch) {
        if (FAILED(sink->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid())) || !dispatch)
            return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = m_nextCookie++;
    m_sinks.emplace_back(*cookie, std::move(dispatch));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEventSource::Unadvise(DWORD cookie)
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->first == cookie) {
            // The sink's reference goes after the list no longer names it.
            CComPtr<IDispatch> sink = std::move(it->second);
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE CEventSource::EnumConnections(IEnumConnections **ppEnum)
{
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

HRESULT CEventSource::Find(REFIID iid, IConnectionPoint **ppcp)
{
    if (!ppcp)
        return E_POINTER;
    *ppcp = nullptr;
    if (!IsEqualIID(iid, m_iid))
        return CONNECT_E_NOCONNECTION;
    *ppcp = this;
    AddRef();
    return S_OK;
}

void CEventSource::Fire(DISPID id, VARIANT *args, UINT count)
{
    // A sink that an earlier one disconnected in the meantime hears nothing.
    std::vector<DWORD> cookies;
    cookies.reserve(m_sinks.size());
    for (const auto &entry : m_sinks)
        cookies.push_back(entry.first);
    for (DWORD cookie : cookies) {
        CComPtr<IDispatch> sink;
        for (const auto &entry : m_sinks)
            if (entry.first == cookie)
                sink = entry.second;
        if (!sink)
            continue;
        DISPPARAMS params{args, nullptr, count, 0};
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
}
