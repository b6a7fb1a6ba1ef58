// window_enum.cpp - the enumerator of _NewEnum (see window_enum.h).
#include "window_enum.h"

#include "module.h"
#include "provider_trace.h"

#include <new>

namespace {

class CWindowEnum final : public IEnumVARIANT, private CProviderObject {
public:
    CWindowEnum(std::vector<CComPtr<CBrowser>> items, size_t next) : m_items(std::move(items)), m_next(next) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumVARIANT)) {
            *ppv = static_cast<IEnumVARIANT *>(this);
            AddRef();
            return S_OK;
        }
        ProviderTrace("WindowEnum(%08lX)::QueryInterface(%s): no such interface", TraceId(this), IidText(iid).c_str());
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG n = InterlockedDecrement(&m_cRef);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT *out, ULONG *fetched) override
    {
        ProviderTrace("WindowEnum(%08lX)::Next(%lu)", TraceId(this), count);
        if (fetched)
            *fetched = 0;
        if (!out || (count > 1 && !fetched))
            return E_INVALIDARG;
        ULONG n = 0;
        for (; n < count && m_next < m_items.size(); ++n, ++m_next) {
            VariantInit(&out[n]);
            V_VT(&out[n]) = VT_DISPATCH;
            V_DISPATCH(&out[n]) = static_cast<IWebBrowser2 *>(m_items[m_next].Get());
            m_items[m_next]->AddRef();
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        ProviderTrace("WindowEnum(%08lX)::Skip(%lu)", TraceId(this), count);
        const size_t left = m_items.size() - m_next;
        m_next += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        ProviderTrace("WindowEnum(%08lX)::Reset()", TraceId(this));
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT **out) override
    {
        ProviderTrace("WindowEnum(%08lX)::Clone()", TraceId(this));
        if (!out)
            return E_POINTER;
        *out = nullptr;
        CWindowEnum *copy = new (std::nothrow) CWindowEnum(m_items, m_next);
        if (!copy)
            return E_OUTOFMEMORY;
        copy->AddRef();
        *out = copy;
        return S_OK;
    }

private:
    volatile LONG m_cRef = 0;
    std::vector<CComPtr<CBrowser>> m_items;
    size_t m_next;
};

} // namespace

HRESULT CreateWindowEnum(const std::vector<CComPtr<CBrowser>> &items, IEnumVARIANT **out)
{
    *out = nullptr;
    CWindowEnum *e = new (std::nothrow) CWindowEnum(items, 0);
    if (!e)
        return E_OUTOFMEMORY;
    e->AddRef();
    *out = e;
    return S_OK;
}
