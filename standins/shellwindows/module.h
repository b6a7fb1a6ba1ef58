// module.h - the shell-window provider's module: its instance, the count of
// live objects and server locks that keeps it loaded, and the mark of an
// outgoing call to the platform's own window server on this thread (during
// which no event is fired).
#pragma once

#include <windows.h>

HINSTANCE ProviderInstance();

// Every object of the provider counts itself from construction to
// destruction; DllCanUnloadNow answers S_OK only at zero.
class CProviderObject {
public:
    CProviderObject();
    ~CProviderObject();
    CProviderObject(const CProviderObject &) = delete;
    CProviderObject &operator=(const CProviderObject &) = delete;
};

// Held for the length of a call into another apartment or process: such a
// call may run this thread's messages, and events must not arrive then.
class COutgoingCall {
public:
    COutgoingCall();
    ~COutgoingCall();
    COutgoingCall(const COutgoingCall &) = delete;
    COutgoingCall &operator=(const COutgoingCall &) = delete;
    static bool InProgress();
};
