// One path for the platform's warnings: the game's log, where its own lines go, and standard error, once each.
#pragma once

// The log's writer, set once at start; false while the log cannot take a line (not open yet).
// Lines it could not take wait, and go out with the next report or flush.
void Sys_SetReportLog(bool (*write)(const char *line));
// "kordax: <text>" on standard error, "<text>" in the log.
void Sys_Warn(const char *format, ...) __attribute__((format(printf, 1, 2)));
// The same, the first time only: said is set after it.
void Sys_WarnOnce(bool &said, const char *format, ...) __attribute__((format(printf, 2, 3)));
// Lines still waiting for the log are written now, if it takes them.
void Sys_FlushReports();
