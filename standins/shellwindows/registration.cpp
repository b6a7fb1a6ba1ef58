// registration.cpp - DllRegisterServer and DllUnregisterServer: the
// provider as the in-process server of CLSID_ShellWindows on the machine,
// with the platform's own entry kept aside and put back.
//
// The class is the machine's (HKLM\Software\Classes): the platform's COM
// reads classes from there only. The entry found there before the provider
// first registered is kept under HKLM\Software\SefraStandins\ShellWindows
// (its default value, of the same type, and its threading model) until
// unregistration restores it. Registering again, also from another folder,
// keeps what was kept the first time.
#include "module.h"

#include "win/handles.h"

#include <windows.h>
#include <olectl.h>

#include <cstring>
#include <string>

namespace {

const char kServerKey[] = "Software\\Classes\\CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\\InprocServer32";
const char kKeptKey[] = "Software\\SefraStandins\\ShellWindows";
const char kThreadingModel[] = "ThreadingModel";
const char kKeptServer[] = "InprocServer32";

struct Value {
    bool present = false;
    DWORD type = REG_SZ;
    std::string text;
};

Value ReadText(HKEY key, const char *name)
{
    Value v;
    char buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof buffer - 1;
    if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE *>(buffer), &size) == ERROR_SUCCESS &&
        (v.type == REG_SZ || v.type == REG_EXPAND_SZ)) {
        v.present = true;
        v.text = buffer;
    }
    return v;
}

LONG WriteText(HKEY key, const char *name, const Value &v)
{
    if (!v.present) {
        const LONG rc = RegDeleteValueA(key, name);
        return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
    }
    return RegSetValueExA(key, name, 0, v.type, reinterpret_cast<const BYTE *>(v.text.c_str()),
                          static_cast<DWORD>(v.text.size() + 1));
}

std::string FileNameOf(const std::string &path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string OwnPath()
{
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(ProviderInstance(), path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

// The entry names this provider's file (wherever it was built).
bool IsOwn(const Value &server, const std::string &own)
{
    return server.present && lstrcmpiA(FileNameOf(server.text).c_str(), FileNameOf(own).c_str()) == 0;
}

HRESULT FromCode(LONG rc) { return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(rc)); }

} // namespace

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    const std::string own = OwnPath();
    if (own.empty())
        return SELFREG_E_CLASS;
    CRegKey server, kept;
    LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                              server.Receive(), nullptr);
    if (rc != ERROR_SUCCESS)
        return FromCode(rc);
    const Value current = ReadText(server.Get(), nullptr);
    if (!IsOwn(current, own)) {
        rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeptKey, 0, nullptr, 0, KEY_WRITE, nullptr, kept.Receive(), nullptr);
        if (rc != ERROR_SUCCESS)
            return FromCode(rc);
        rc = WriteText(kept.Get(), kKeptServer, current);
        if (rc == ERROR_SUCCESS)
            rc = WriteText(kept.Get(), kThreadingModel, ReadText(server.Get(), kThreadingModel));
        if (rc != ERROR_SUCCESS)
            return FromCode(rc);
    }
    Value entry{true, REG_SZ, own};
    rc = WriteText(server.Get(), nullptr, entry);
    if (rc == ERROR_SUCCESS)
        rc = WriteText(server.Get(), kThreadingModel, Value{true, REG_SZ, "Apartment"});
    return FromCode(rc);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    CRegKey server, kept;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, KEY_READ | KEY_WRITE, server.Receive()) != ERROR_SUCCESS)
        return S_OK; // nothing registered
    if (!IsOwn(ReadText(server.Get(), nullptr), OwnPath()))
        return S_OK; // another server took the class since: it stays
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeptKey, 0, KEY_READ, kept.Receive()) != ERROR_SUCCESS) {
        // Nothing was there before the provider.
        LONG rc = WriteText(server.Get(), nullptr, Value{});
        if (rc == ERROR_SUCCESS)
            rc = WriteText(server.Get(), kThreadingModel, Value{});
        return FromCode(rc);
    }
    LONG rc = WriteText(server.Get(), nullptr, ReadText(kept.Get(), kKeptServer));
    if (rc == ERROR_SUCCESS)
        rc = WriteText(server.Get(), kThreadingModel, ReadText(kept.Get(), kThreadingModel));
    if (rc != ERROR_SUCCESS)
        return FromCode(rc);
    kept.Reset();
    return FromCode(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKeptKey));
}
