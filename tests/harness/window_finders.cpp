// window_finders.cpp - CWindowQuery and the window helpers beside it (see
// window_finders.h).
#include "window_finders.h"

#include "clock.h"

namespace {

BOOL CALLBACK CollectMatch(HWND hwnd, LPARAM l)
{
    auto *search = reinterpret_cast<std::pair<const CWindowQuery *, std::vector<HWND> *> *>(l);
    if (search->first->Matches(hwnd))
        search->second->push_back(hwnd);
    return TRUE;
}

} // namespace

CWindowQuery &CWindowQuery::OfProcess(DWORD pid)
{
    m_pid = pid;
    return *this;
}

CWindowQuery &CWindowQuery::OfThread(DWORD tid)
{
    m_tid = tid;
    return *this;
}

CWindowQuery &CWindowQuery::OfClass(const char *name)
{
    m_class = name;
    return *this;
}

CWindowQuery &CWindowQuery::Titled(const char *title)
{
    m_title = title;
    return *this;
}

CWindowQuery &CWindowQuery::WithControl(int id)
{
    m_controls.push_back(id);
    return *this;
}

CWindowQuery &CWindowQuery::Where(std::function<bool(HWND)> test)
{
    m_test = std::move(test);
    return *this;
}

bool CWindowQuery::Matches(HWND hwnd) const
{
    DWORD pid = 0;
    const DWORD tid = GetWindowThreadProcessId(hwnd, &pid);
    if ((m_pid && pid != *m_pid) || (m_tid && tid != *m_tid) || !IsWindowVisible(hwnd))
        return false;
    if (m_class) {
        char name[256] = {};
        GetClassNameA(hwnd, name, sizeof name);
        if (lstrcmpiA(name, m_class->c_str()) != 0)
            return false;
    }
    if (m_title && WindowTitle(hwnd) != *m_title)
        return false;
    for (int id : m_controls)
        if (!GetDlgItem(hwnd, id))
            return false;
    return !m_test || m_test(hwnd);
}

std::vector<HWND> CWindowQuery::All() const
{
    std::vector<HWND> found;
    std::pair<const CWindowQuery *, std::vector<HWND> *> search{this, &found};
    EnumWindows(CollectMatch, reinterpret_cast<LPARAM>(&search));
    return found;
}

HWND CWindowQuery::First() const
{
    const std::vector<HWND> found = All();
    return found.empty() ? nullptr : found.front();
}

HWND CWindowQuery::WaitFor(DWORD timeoutMs, const std::function<bool()> &giveUp) const
{
    HWND found = nullptr;
    PollUntil([&] { return (found = First()) != nullptr || (giveUp && giveUp()); }, timeoutMs);
    return found;
}

DWORD ProcessOfWindow(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::string WindowTitle(HWND hwnd)
{
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}
