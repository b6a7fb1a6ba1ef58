// clock.h - milliseconds on the performance counter, comparable across
// processes of the machine.
#pragma once

double NowMs();
