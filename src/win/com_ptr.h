// com_ptr.h - CComPtr<T>, the owner of one COM interface reference.
#pragma once

#include <objbase.h>

template <typename T> class CComPtr {
public:
    CComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit CComPtr(T *p) : m_p(p) {}
    ~CComPtr() { Release(); }
    CComPtr(const CComPtr &o) : m_p(o.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CComPtr &operator=(const CComPtr &o)
    {
        if (o.m_p)
            o.m_p->AddRef();
        Release();
        m_p = o.m_p;
        return *this;
    }
    CComPtr(CComPtr &&o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    CComPtr &operator=(CComPtr &&o) noexcept
    {
        if (this != &o) {
            Release();
            m_p = o.m_p;
            o.m_p = nullptr;
        }
        return *this;
    }

    T *Get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void Release()
    {
        if (m_p) {
            T *p = m_p;
            m_p = nullptr;
            p->Release();
        }
    }
    T *Detach()
    {
        T *p = m_p;
        m_p = nullptr;
        return p;
    }
    // For out-parameters: releases the current reference first.
    T **Receive()
    {
        Release();
        return &m_p;
    }
    void **ReceiveVoid() { return reinterpret_cast<void **>(Receive()); }
    // QueryInterface into another owner; the result code of the call.
    template <typename U> HRESULT QueryTo(REFIID iid, CComPtr<U> &out) const
    {
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(iid, out.ReceiveVoid());
    }

private:
    T *m_p = nullptr;
};
