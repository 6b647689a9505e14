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

DWORD GetClock();
void StartClock();
DWORD WaitClock(unsigned long ms);
