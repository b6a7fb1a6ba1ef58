// event_source.cpp - CEventSource (see event_source.h).
#include "event_source.h"

#include "provider_trace.h"

#include <olectl.h>

#include <cstdio>

std::string CEventSource::Who() const
{
    char text[96] = {};
    std::snprintf(text, sizeof text, "ConnectionPoint(%s of %08lX)", IidText(m_iid).c_str(), TraceId(m_ownerId));
    return text;
}

HRESULT STDMETHODCALLTYPE CEventSource::QueryInterface(REFIID iid, void **ppv)
{
    if (!ppv)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *ppv = static_cast<IConnectionPoint *>(this);
        AddRef();
        return S_OK;
    }
    ProviderTrace("%s::QueryInterface(%s): no such interface", Who().c_str(), IidText(iid).c_str());
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE CEventSource::GetConnectionInterface(IID *iid)
{
    ProviderTrace("%s::GetConnectionInterface()", Who().c_str());
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEventSource::GetConnectionPointContainer(IConnectionPointContainer **ppc)
{
    ProviderTrace("%s::GetConnectionPointContainer()", Who().c_str());
    if (!ppc)
        return E_POINTER;
    *ppc = m_owner;
    m_owner->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEventSource::Advise(IUnknown *sink, DWORD *cookie)
{
    ProviderTrace("%s::Advise(%08lX)", Who().c_str(), TraceId(sink));
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    CComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(m_iid, dispatch.ReceiveVoid())) || !dispatch) {
        if (FAILED(sink->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid())) || !dispatch) {
            ProviderTrace("%s::Advise(%08lX): the sink answers neither this interface nor IDispatch", Who().c_str(),
                          TraceId(sink));
            return CONNECT_E_CANNOTCONNECT;
        }
    }
    *cookie = m_nextCookie++;
    m_sinks.emplace_back(*cookie, std::move(dispatch));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEventSource::Unadvise(DWORD cookie)
{
    ProviderTrace("%s::Unadvise(%lu)", Who().c_str(), cookie);
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
    ProviderTrace("%s::EnumConnections(): not implemented", Who().c_str());
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

HRESULT CEventSource::Find(REFIID iid, IConnectionPoint **ppcp)
{
    if (!ppcp)
        return E_POINTER;
    *ppcp = nullptr;
    if (!IsEqualIID(iid, m_iid)) {
        ProviderTrace("%s: no connection point for %s", Who().c_str(), IidText(iid).c_str());
        return CONNECT_E_NOCONNECTION;
    }
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
