// handles.h - small owners for kernel handles, registry keys, find handles,
// module handles, mapped views, local and global memory and window hooks.
// Each closes what it owns exactly once.
#pragma once

#include <windows.h>

#include <utility>

// Owner of a handle described by Traits: Traits::Type, Traits::Invalid()
// (the "none" value) and Traits::Close(h).
template <typename Traits> class CUniqueHandle {
public:
    using H = typename Traits::Type;

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
    bool Valid() const { return m_h != Traits::Invalid() && m_h != H(); }
    explicit operator bool() const { return Valid(); }
    H Detach()
    {
        H h = m_h;
        m_h = Traits::Invalid();
        return h;
    }
    void Reset(H h = Traits::Invalid())
    {
        if (Valid())
            Traits::Close(m_h);
        m_h = h;
    }
    // For out-parameters: closes the current handle first.
    H *Receive()
    {
        Reset();
        return &m_h;
    }

private:
    H m_h = Traits::Invalid();
};

namespace handles_detail {
struct FileTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct KernelTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct KeyTraits {
    using Type = HKEY;
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct ViewTraits {
    using Type = LPVOID;
    static LPVOID Invalid() { return nullptr; }
    static void Close(LPVOID p) { UnmapViewOfFile(p); }
};
struct LocalTraits {
    using Type = HLOCAL;
    static HLOCAL Invalid() { return nullptr; }
    static void Close(HLOCAL h) { LocalFree(h); }
};
struct GlobalTraits {
    using Type = HGLOBAL;
    static HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL h) { GlobalFree(h); }
};
struct HookTraits {
    using Type = HHOOK;
    static HHOOK Invalid() { return nullptr; }
    static void Close(HHOOK h) { UnhookWindowsHookEx(h); }
};
} // namespace handles_detail

// A kernel handle whose "none" is INVALID_HANDLE_VALUE (files, volumes).
// Valid() is false for both null and INVALID_HANDLE_VALUE.
using CFileHandle = CUniqueHandle<handles_detail::FileTraits>;
// A kernel handle whose "none" is null (events, mappings, processes, threads).
using CKernelHandle = CUniqueHandle<handles_detail::KernelTraits>;
using CFindHandle = CUniqueHandle<handles_detail::FindTraits>;
using CModuleHandle = CUniqueHandle<handles_detail::ModuleTraits>;
using CRegKey = CUniqueHandle<handles_detail::KeyTraits>;
using CMappedView = CUniqueHandle<handles_detail::ViewTraits>;
using CLocalMemory = CUniqueHandle<handles_detail::LocalTraits>;
using CGlobalMemory = CUniqueHandle<handles_detail::GlobalTraits>;
using CHookHandle = CUniqueHandle<handles_detail::HookTraits>;
