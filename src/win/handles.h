// handles.h - small owners for kernel handles, registry keys, find handles,
// module handles and heap memory. Each closes what it owns exactly once.
#pragma once

#include <windows.h>

#include <utility>

// Owner of a handle closed with Close(h); Invalid is the "none" value.
template <typename H, H Invalid, BOOL(WINAPI *Close)(H)> class CUniqueHandle {
public:
    CUniqueHandle() = default;
    explicit CUniqueHandle(H h) : m_h(h) {}
    ~CUniqueHandle() { Reset(); }
    CUniqueHandle(CUniqueHandle &&o) noexcept : m_h(o.Detach()) {}
    CUniqueHandle &operator=(CUniqueHandle &&o) noexcept
    {
        if (this != &o)
            Reset(o.Detach());
        return *this;
    }
    CUniqueHandle(const CUniqueHandle &) = delete;
    CUniqueHandle &operator=(const CUniqueHandle &) = delete;

    H Get() const { return m_h; }
    bool Valid() const { return m_h != Invalid && m_h != H(); }
    explicit operator bool() const { return Valid(); }
    H Detach()
    {
        H h = m_h;
        m_h = Invalid;
        return h;
    }
    void Reset(H h = Invalid)
    {
        if (Valid())
            Close(m_h);
        m_h = h;
    }
    // For out-parameters: closes the current handle first.
    H *Receive()
    {
        Reset();
        return &m_h;
    }

private:
    H m_h = Invalid;
};

namespace handles_detail {
inline BOOL WINAPI CloseFind(HANDLE h) { return FindClose(h); }
inline BOOL WINAPI FreeLib(HMODULE h) { return FreeLibrary(h); }
inline BOOL WINAPI CloseKey(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }
inline BOOL WINAPI UnmapView(LPVOID p) { return UnmapViewOfFile(p); }
inline BOOL WINAPI FreeLocal(HLOCAL h) { return LocalFree(h) == nullptr; }
} // namespace handles_detail

// A kernel handle whose "none" is INVALID_HANDLE_VALUE (files, volumes).
// Valid() is false for both null and INVALID_HANDLE_VALUE.
using CFileHandle = CUniqueHandle<HANDLE, INVALID_HANDLE_VALUE, CloseHandle>;
// A kernel handle whose "none" is null (events, mappings, processes, threads).
using CKernelHandle = CUniqueHandle<HANDLE, nullptr, CloseHandle>;
using CFindHandle = CUniqueHandle<HANDLE, INVALID_HANDLE_VALUE, handles_detail::CloseFind>;
using CModuleHandle = CUniqueHandle<HMODULE, nullptr, handles_detail::FreeLib>;
using CRegKey = CUniqueHandle<HKEY, nullptr, handles_detail::CloseKey>;
using CMappedView = CUniqueHandle<LPVOID, nullptr, handles_detail::UnmapView>;
using CLocalMemory = CUniqueHandle<HLOCAL, nullptr, handles_detail::FreeLocal>;
