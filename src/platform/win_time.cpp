// Millisecond clock and sleep over SDL, or a virtual clock for headless runs.
#include "win_time.h"

#include <SDL.h>

static bool virtualClock = false;
static DWORD virtualNow = 0;
static bool capsAvailable = true;
static UINT capsMin = 1;
static UINT capsMax = 1000000;
static UINT periodInForce = 0;

DWORD timeGetTime()
{
    if (virtualClock)
        return virtualNow;
    return (DWORD)SDL_GetTicks();
}

UINT timeGetDevCaps(TIMECAPS *caps, UINT size)
{
    if (!capsAvailable || !caps || size < sizeof(TIMECAPS))
        return TIMERR_NOCANDO;
    caps->wPeriodMin = capsMin;
    caps->wPeriodMax = capsMax;
    return TIMERR_NOERROR;
}

// SDL's clock and delays are already millisecond-accurate; the period is only remembered.
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

void Sleep(DWORD ms)
{
    if (virtualClock) {
        virtualNow += ms;
        return;
    }
    SDL_Delay(ms);
}

void Sys_UseVirtualClock(bool on) { virtualClock = on; }
bool Sys_VirtualClock() { return virtualClock; }
void Sys_AdvanceClock(DWORD ms) { virtualNow += ms; }
void Sys_SetClock(DWORD ms) { virtualNow = ms; }

void Sys_SetTimerCaps(bool available, UINT periodMin, UINT periodMax)
{
    capsAvailable = available;
    capsMin = periodMin;
    capsMax = periodMax;
}

UINT Sys_TimerPeriod() { return periodInForce; }
