// ui_support.cpp - loop actions, the dialogs' pump, thread dialogs, module
// boxes, keys and the row controls for the UI tests.
#include "ui_support.h"

#include "clock.h"
#include "product_texts.h"
#include "res/resource.h"
#include "win/dialog.h"

#include <map>

namespace {

std::map<UINT_PTR, std::function<void()>> &PendingActions()
{
    static std::map<UINT_PTR, std::function<void()>> actions;
    return actions;
}

void CALLBACK ActionTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto &actions = PendingActions();
    auto it = actions.find(id);
    if (it == actions.end())
        return;
    std::function<void()> action = std::move(it->second);
    actions.erase(it);
    action();
}

} // namespace

CWindowQuery ModuleBoxes()
{
    // The main dialog carries the same caption but no message text.
    return ShownWindows().OfClass(kDialogClass).Titled(kProductName).WithControl(kMessageBoxText);
}

HWND FindModuleBox() { return ModuleBoxes().First(); }

std::string AnswerModuleBox(int command, DWORD waitMs, const std::function<bool()> &giveUp)
{
    const HWND box = ModuleBoxes().WaitFor(waitMs, giveUp);
    if (!box)
        return "(no message box)";
    char text[512] = {};
    GetDlgItemTextA(box, kMessageBoxText, text, sizeof text);
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(command), 0);
    return text;
}

void RunFromLoop(std::function<void()> action)
{
    const UINT_PTR id = SetTimer(nullptr, 0, 0, ActionTimer);
    PendingActions()[id] = std::move(action);
}

bool PumpDialogsUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD pollMs)
{
    const double end = NowMs() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CDialog::PreTranslateThreadMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (done())
            return true;
        if (NowMs() > end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
}

void PumpPending()
{
    PumpDialogsUntil([] { return true; }, 0);
}

std::vector<HWND> ThreadDialogs() { return ShownWindows().OfThread(GetCurrentThreadId()).OfClass(kDialogClass).All(); }

void PostKey(HWND hwnd, UINT vk)
{
    const UINT scan = MapVirtualKeyA(vk, 0);
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1 | (scan << 16));
    PostMessageA(hwnd, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

void PostHotKey(HWND dialog)
{
    constexpr WPARAM kHotKeyId = 0x1000; // the id the dialog registers it under
    PostMessageA(dialog, WM_HOTKEY, kHotKeyId, MAKELPARAM(MOD_ALT | MOD_CONTROL | MOD_SHIFT, 'L'));
}

bool ControlsEnabled(HWND dialog, bool enabled)
{
    for (int id = IDC_PLATFORM1; id <= IDC_SETPWD3; ++id)
        if ((IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE) != enabled)
            return false;
    return true;
}
