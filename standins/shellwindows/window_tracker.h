// window_tracker.h - CWindowTracker, one per thread that uses the provider:
// the file manager's top-level windows as last seen, one browser object
// each, and the events their changes raise.
//
// A hidden message-only window of the thread runs a timer; each tick looks
// at the windows and fires what changed since the last look, so events
// arrive through the thread's message loop only, never from inside a wait
// or an outgoing call (a tick that finds such a call in progress, or an
// earlier tick still firing, leaves its events for the next one). A look
// between ticks (a collection counting) queues its events the same way.
//
// Events, in this order for one window: WindowRegistered to the collections
// that were listening when the window was first seen, DocumentComplete each
// time the window shows a new folder view, WindowClosing once when Quit
// asked the window to close or the window is seen hidden while it still
// exists (a window being destroyed is hidden first, and the platform file
// manager keeps a closed window hidden until its program ends), OnQuit and
// then WindowRevoked once it is gone. Hidden windows are not counted.
//
// The tracker lives while it has uses: each collection that reached it,
// each browser that somebody besides the tracker holds, each queued event.
#pragma once

#include "browser.h"
#include "module.h"

#include "win/com_ptr.h"

#include <windows.h>

#include <memory>
#include <vector>

class CShellWindows;

class CWindowTracker : private CProviderObject {
public:
    static constexpr UINT kTickMs = 100;

    // This thread's tracker, started (with a first look that raises
    // nothing) when the thread has none; the caller holds one use of it.
    // Null when the hidden window cannot be made.
    static CWindowTracker *Acquire();
    static void UnregisterWindowClass();

    void AddUse();
    // The last use ends the tracker: its window, its timer, its browsers.
    void ReleaseUse();

    // Looks at the windows now; what changed is queued for the next tick.
    void Refresh();
    // The browsers of the windows shown now, in the order first seen.
    std::vector<CComPtr<CBrowser>> Shown() const;
    // Collections hear WindowRegistered and WindowRevoked from now on.
    void Listen(CShellWindows *windows);
    void Unlisten(CShellWindows *windows);
    // Quit asked b's window to close: WindowClosing, unless told already.
    void QueueClosing(CBrowser *b);

private:
    enum class Kind { Registered, Document, Closing, Quit, Revoked };
    struct Event {
        Kind kind;
        CComPtr<CBrowser> browser;
        std::vector<CComPtr<CShellWindows>> collections; // for Registered and Revoked
    };

    CWindowTracker() = default;
    ~CWindowTracker();
    // Acquire's owner until the tracker is started.
    friend struct std::default_delete<CWindowTracker>;
    bool Start();
    void Queue(Kind kind, const CComPtr<CBrowser> &browser);
    void Tick();
    void Deliver();
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

    HWND m_hwnd = nullptr;
    LONG m_uses = 0;
    LONG m_nextCookie = 1;
    bool m_starting = true; // the first look raises nothing
    int m_delivering = 0;
    std::vector<CComPtr<CBrowser>> m_tracked;
    std::vector<CShellWindows *> m_listeners;
    std::vector<Event> m_queue;
};
