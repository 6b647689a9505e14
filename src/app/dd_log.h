// The diagnostic log "dderrors.log", the millisecond clock and display result names.
#pragma once

#include "win_types.h"

#include <cstdio>
#include <string>

extern FILE *ErrorLog;
extern UINT TimerRes;
extern bool TimerResSet;
extern DWORD start_clock_count;

void DDOpenErrorLog();
void DDErrorLog(const char *text);
// For news the player must not miss (a save that lost data): also on standard error when the
// log is not open or cannot be written.
void DDErrorLogUrgent(const char *text);
bool DDFailCheck(long result, const char *text);
void DDCloseErrorLog(); // writes the pending repeat counts first
// Forgets which lines were seen (a new log, a test's captured log).
void DDResetLogRepeats();

// Bytes outside printable ASCII as \xNN, for lines read from files.
std::string DDLogEscape(const char *text);
// Logs a line read from a file: cut at its line end, escaped.
void DDErrorLogRead(const char *line);
// Logs "  file: <name> (<reason>)": missing, unreadable, a folder, too large (over sizeLimit
// bytes, -1 for none) or damaged (opens, but its content was refused).
void DDLogFile(const char *name, long long sizeLimit = -1);
// "<name> (<reason>)" of the last file so reported, empty when none.
const char *DDLastFileProblem();
// Empties DDLastFileProblem, so that it names only files reported from here on.
void DDForgetFileProblem();
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
