// Millisecond clock and sleep from the source in use (the desktop's, or a virtual clock for headless runs).
#include "win_time.h"
#include "sys_source.h"

static bool capsAvailable = true;
static UINT capsMin = 1;
static UINT capsMax = 1000000;
static UINT periodInForce = 0;

DWORD timeGetTime() { return sys_source.clock(); }

UINT timeGetDevCaps(TIMECAPS *caps, UINT size)
{
    if (!capsAvailable || !caps || size < sizeof(TIMECAPS))
        return TIMERR_NOCANDO;
    caps->wPeriodMin = capsMin;
    caps->wPeriodMax = capsMax;
    return TIMERR_NOERROR;
}

// The sources' clocks and sleeps are already millisecond-accurate; the period is only remembered.
UINT timeBeginPeriod(UINT period)
{
    periodInForce = period;
    return TIMERR_NOERROR;
}

UINT timeEndPeriod(UINT period)
{
    if (periodInForce != period)
        return TIMERR_NOCANDO;
    periodInForce = 0;
    return TIMERR_NOERROR;
}

void Sleep(DWORD ms) { sys_source.sleep(ms); }

void Sys_UseVirtualClock(bool on)
{
    if (on)
        Sys_UseScriptedSource();
    else
        Sys_UseLiveSource();
}
void Sys_AdvanceClock(DWORD ms) { Sys_SetVirtualNow(Sys_VirtualNow() + ms); }
void Sys_SetClock(DWORD ms) { Sys_SetVirtualNow(ms); }

void Sys_SetTimerCaps(bool available, UINT periodMin, UINT periodMax)
{
    capsAvailable = available;
    capsMin = periodMin;
    capsMax = periodMax;
}

UINT Sys_TimerPeriod() { return periodInForce; }
