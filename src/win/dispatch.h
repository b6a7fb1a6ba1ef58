// dispatch.h - CDispatchSink, a hand-written IDispatch that receives events
// by dispatch id, and ConnectionAdvise / ConnectionUnadvise for connecting
// a sink to an event source's connection point.
//
// The sink is not reference counted: it lives as long as its owner (a
// dialog on a caller's stack), and every connection must be undone before
// the owner goes. Sources may AddRef and Release it freely.
#pragma once

#include <oaidl.h>
#include <ocidl.h>

class CDispatchSink : public IDispatch {
public:
    CDispatchSink() = default;
    virtual ~CDispatchSink() = default;
    CDispatchSink(const CDispatchSink &) = delete;
    CDispatchSink &operator=(const CDispatchSink &) = delete;

    // IUnknown: answers IUnknown, IDispatch and every IsEventInterface id.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: no type information and no names; events come by id.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *params, VARIANT *result,
                                     EXCEPINFO *, UINT *) override;

    // References the sources hold at the moment (for checks only).
    ULONG GetRefCount() const { return m_cRef; }

protected:
    // The event interfaces (dispinterface ids) this sink accepts.
    virtual bool IsEventInterface(REFIID) const { return false; }
    // One event. Arguments arrive in reverse order in params->rgvarg.
    // true when the id is known; unknown ids are ignored by the source.
    virtual bool OnInvoke(DISPID id, DISPPARAMS *params) = 0;

private:
    volatile LONG m_cRef = 0;
};

// Connects sink to the connection point iid of source. S_OK and *cookie set,
// or the failing call's result and *cookie 0. The sink's reference taken by
// the source stays with the source until ConnectionUnadvise.
HRESULT ConnectionAdvise(IUnknown *source, REFIID iid, IUnknown *sink, DWORD *cookie);
HRESULT ConnectionUnadvise(IUnknown *source, REFIID iid, DWORD cookie);
