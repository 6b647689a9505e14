// WINMM and kernel time stand-ins: a millisecond clock (virtual when headless) and sleep.
#pragma once

#include "win_types.h"

#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

struct TIMECAPS {
    UINT wPeriodMin;
    UINT wPeriodMax;
};

DWORD timeGetTime();
UINT timeGetDevCaps(TIMECAPS *caps, UINT size);
UINT timeBeginPeriod(UINT period);
UINT timeEndPeriod(UINT period);
void Sleep(DWORD ms);

// The virtual clock of headless runs: flips advance it by one 16 ms frame, sleeps by their length.
void Sys_UseVirtualClock(bool on);
void Sys_AdvanceClock(DWORD ms);
void Sys_SetClock(DWORD ms);
// For tests: make timeGetDevCaps answer with these periods, or fail.
void Sys_SetTimerCaps(bool available, UINT periodMin, UINT periodMax);
UINT Sys_TimerPeriod(); // the period in force, 0 if none
