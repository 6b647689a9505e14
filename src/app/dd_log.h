// The diagnostic log "dderrors.log", the millisecond clock and display result names.
#pragma once

#include "win_types.h"

#include <cstdio>

extern FILE *ErrorLog;
extern UINT TimerRes;
extern bool TimerResSet;
extern DWORD start_clock_count;

void DDOpenErrorLog();
void DDErrorLog(const char *text);
bool DDFailCheck(long result, const char *text);
void DDCloseErrorLog();
const char *DDErrorString(long result);
int DDErrorCount(); // entries in the name table

// Raises the timer resolution (DDInit) and gives it back (DDClose).
void DDSetTimerResolution();
void DDEndTimerResolution();

DWORD GetClock(); // the game's clock: the platform's, less the time it was held

// Reasons to hold the game's clock; it stands still while any is in force.
enum { DDCLOCK_PAUSED = 1, DDCLOCK_AWAY = 2 };
void HoldClock(unsigned reason);
void ReleaseClock(unsigned reason);
bool ClockHeld(unsigned reason = ~0u);
void ResetClockHolds(); // for tests: the clock runs with the platform's again
void StartClock();
DWORD WaitClock(unsigned long ms);
