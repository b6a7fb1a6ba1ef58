// event_source.h - CEventSource, the connection point of one event
// interface on an object of the provider: the connected sinks and the
// firing of an event to each of them.
//
// The point shares its owner's reference count (it is part of the owner)
// and holds one reference on each connected sink until Unadvise. A sink may
// connect or disconnect from inside an event; whoever fires holds a
// reference on the owner, so that a sink may also let go of it.
#pragma once

#include "win/com_ptr.h"

#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

class CEventSource : public IConnectionPoint {
public:
    // owner: the object itself, which the trace names by its address.
    template <typename Owner> CEventSource(Owner *owner, REFIID iid) : m_owner(owner), m_ownerId(owner), m_iid(iid) {}
    CEventSource(const CEventSource &) = delete;
    CEventSource &operator=(const CEventSource &) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return m_owner->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_owner->Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID *iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer **ppc) override;
    // The sink must answer the event interface, or IDispatch.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown *sink, DWORD *cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections **ppEnum) override;

    // The owner's FindConnectionPoint: this point when iid is its interface.
    HRESULT Find(REFIID iid, IConnectionPoint **ppcp);
    // Invokes id on every sink; args in reverse order, as dispatch wants them.
    void Fire(DISPID id, VARIANT *args, UINT count);
    // Drops every connection (the owner is going away).
    void Clear() { m_sinks.clear(); }

private:
    // "ConnectionPoint(<event interface> of <owner>)", as the trace names it.
    std::string Who() const;

    IConnectionPointContainer *m_owner;
    const void *m_ownerId;
    IID m_iid;
    DWORD m_nextCookie = 1;
    std::vector<std::pair<DWORD, CComPtr<IDispatch>>> m_sinks;
};
