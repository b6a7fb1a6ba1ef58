// clock.h - milliseconds on the performance counter, comparable across
// processes of the machine, and a bounded wait for a condition.
#pragma once

#include <windows.h>

#include <functional>

double NowMs();

// Polls done every pollMs until it holds or timeoutMs passed; whether it held.
bool PollUntil(const std::function<bool()> &done, DWORD timeoutMs, DWORD pollMs = 20);
