// window_tracker.cpp - CWindowTracker (see window_tracker.h).
#include "window_tracker.h"

#include "provider_trace.h"
#include "shell_windows.h"

#include <exdispid.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {

const wchar_t kWindowClass[] = L"SefraShellWindowsTracker";
constexpr UINT_PTR kTimerId = 1;
ATOM g_windowClass = 0;
thread_local CWindowTracker *t_tracker = nullptr;

BOOL CALLBACK CollectShown(HWND hwnd, LPARAM l)
{
    if (IsWindowVisible(hwnd) && IsFileManagerWindow(hwnd))
        reinterpret_cast<std::vector<HWND> *>(l)->push_back(hwnd);
    return TRUE;
}

} // namespace

CWindowTracker *CWindowTracker::Acquire()
{
    if (t_tracker) {
        t_tracker->AddUse();
        return t_tracker;
    }
    std::unique_ptr<CWindowTracker> owned(new (std::nothrow) CWindowTracker());
    if (!owned || !owned->Start()) {
        ProviderTrace("tracker: cannot start, %lu", GetLastError());
        return nullptr;
    }
    ProviderTrace("tracker: started on thread %lu", GetCurrentThreadId());
    // From here its uses own it: the last ReleaseUse deletes it.
    CWindowTracker *tracker = owned.release();
    t_tracker = tracker;
    tracker->AddUse();
    tracker->Refresh();
    tracker->m_starting = false;
    return tracker;
}

void CWindowTracker::UnregisterWindowClass()
{
    if (g_windowClass)
        UnregisterClassW(kWindowClass, ProviderInstance());
    g_windowClass = 0;
}

bool CWindowTracker::Start()
{
    if (!g_windowClass) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = WndProc;
        wc.hInstance = ProviderInstance();
        wc.lpszClassName = kWindowClass;
        g_windowClass = RegisterClassW(&wc);
        if (!g_windowClass && GetLastError() == ERROR_CLASS_ALREADY_EXISTS)
            g_windowClass = 1;
        if (!g_windowClass)
            return false;
    }
    m_hwnd = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ProviderInstance(), nullptr);
    if (!m_hwnd)
        return false;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!SetTimer(m_hwnd, kTimerId, kTickMs, nullptr)) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
        return false;
    }
    return true;
}

CWindowTracker::~CWindowTracker()
{
    ProviderTrace("tracker: ended");
    if (t_tracker == this)
        t_tracker = nullptr;
    if (m_hwnd) {
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        KillTimer(m_hwnd, kTimerId);
        DestroyWindow(m_hwnd);
    }
    // With no use left, only this tracker holds its browsers.
    for (CComPtr<CBrowser> &b : m_tracked)
        b->SetTracker(nullptr);
}

void CWindowTracker::AddUse() { ++m_uses; }

void CWindowTracker::ReleaseUse()
{
    if (--m_uses == 0)
        delete this;
}

void CWindowTracker::Refresh()
{
    for (size_t i = 0; i < m_tracked.size();) {
        if (m_tracked[i]->WindowLives()) {
            ++i;
            continue;
        }
        CComPtr<CBrowser> gone = std::move(m_tracked[i]);
        m_tracked.erase(m_tracked.begin() + static_cast<std::ptrdiff_t>(i));
        ProviderTrace("tracker: window %08lX gone, Browser(%08lX)", TraceId(gone->Hwnd()), TraceId(gone.Get()));
        Queue(Kind::Quit, gone);
        Queue(Kind::Revoked, gone);
        // From here on the browser is an ordinary object; the use its other
        // holders made of the tracker ends.
        const bool used = gone->HeldElsewhere();
        gone->SetTracker(nullptr);
        if (used)
            ReleaseUse();
    }

    std::vector<HWND> shown;
    EnumWindows(CollectShown, reinterpret_cast<LPARAM>(&shown));
    for (HWND hwnd : shown) {
        if (std::any_of(m_tracked.begin(), m_tracked.end(),
                        [&](const CComPtr<CBrowser> &b) { return b->Hwnd() == hwnd; }))
            continue;
        CBrowser *raw = new (std::nothrow) CBrowser(hwnd, m_nextCookie++);
        if (!raw)
            continue;
        raw->AddRef();
        raw->SetTracker(this);
        m_tracked.emplace_back(raw);
        wchar_t title[MAX_PATH] = {};
        GetWindowTextW(hwnd, title, MAX_PATH);
        ProviderTrace("tracker: window %08lX \"%s\" seen%s, Browser(%08lX), cookie %ld", TraceId(hwnd),
                      TraceText(title).c_str(), m_starting ? " at the start" : "", TraceId(raw), raw->Cookie());
        if (!m_starting)
            Queue(Kind::Registered, m_tracked.back());
    }

    for (const CComPtr<CBrowser> &b : m_tracked) {
        if (!IsWindowVisible(b->Hwnd())) {
            if (!m_starting)
                QueueClosing(b.Get());
            continue;
        }
        const HWND view = b->CurrentView();
        if (!view || view == b->ReportedView())
            continue;
        b->SetReportedView(view);
        if (!m_starting)
            Queue(Kind::Document, b);
    }
}

std::vector<CComPtr<CBrowser>> CWindowTracker::Shown() const
{
    std::vector<CComPtr<CBrowser>> shown;
    for (const CComPtr<CBrowser> &b : m_tracked)
        if (IsWindowVisible(b->Hwnd()))
            shown.push_back(b);
    return shown;
}

void CWindowTracker::Listen(CShellWindows *windows) { m_listeners.push_back(windows); }

void CWindowTracker::Unlisten(CShellWindows *windows)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), windows), m_listeners.end());
}

void CWindowTracker::QueueClosing(CBrowser *b)
{
    if (!b->NoteClosing())
        return;
    ProviderTrace("tracker: window %08lX closing, Browser(%08lX)", TraceId(b->Hwnd()), TraceId(b));
    b->AddRef();
    Queue(Kind::Closing, CComPtr<CBrowser>(b));
}

// Each queued event is a use until it has been delivered.
void CWindowTracker::Queue(Kind kind, const CComPtr<CBrowser> &browser)
{
    Event event{kind, browser, {}};
    if (kind == Kind::Registered || kind == Kind::Revoked) {
        for (CShellWindows *windows : m_listeners) {
            windows->AddRef();
            event.collections.emplace_back(windows);
        }
    }
    m_queue.push_back(std::move(event));
    AddUse();
}

void CWindowTracker::Tick()
{
    AddUse();
    Refresh();
    if (m_delivering == 0 && !COutgoingCall::InProgress()) {
        ++m_delivering;
        Deliver();
        --m_delivering;
    }
    ReleaseUse();
}

void CWindowTracker::Deliver()
{
    std::vector<Event> events;
    events.swap(m_queue);
    for (Event &e : events) {
        switch (e.kind) {
        case Kind::Registered:
        case Kind::Revoked: {
            const DISPID id = e.kind == Kind::Registered ? DISPID_WINDOWREGISTERED : DISPID_WINDOWREVOKED;
            for (const CComPtr<CShellWindows> &windows : e.collections)
                windows->FireWindowEvent(id, e.browser->Cookie());
            break;
        }
        case Kind::Document:
            e.browser->FireDocumentComplete();
            break;
        case Kind::Closing:
            e.browser->FireWindowClosing();
            break;
        case Kind::Quit:
            e.browser->FireOnQuit();
            break;
        }
    }
    const size_t delivered = events.size();
    events.clear();
    for (size_t i = 0; i < delivered; ++i)
        ReleaseUse();
}

LRESULT CALLBACK CWindowTracker::WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_TIMER && w == kTimerId) {
        if (auto *tracker = reinterpret_cast<CWindowTracker *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            tracker->Tick(); // may end the tracker and this window
        return 0;
    }
    return DefWindowProcW(hwnd, msg, w, l);
}
