// The platform's warnings, to standard error at once and to the game's log as soon as it is open.
#include "sys_report.h"

#include <cstdarg>
#include <cstdio>
#include <deque>
#include <string>

enum { MAX_WAITING = 64 }; // a log that never opens must not hold every line of a long run

static bool (*logWrite)(const char *line) = nullptr;
static std::deque<std::string> waiting;

void Sys_SetReportLog(bool (*write)(const char *line)) { logWrite = write; }

void Sys_FlushReports()
{
    while (!waiting.empty() && logWrite && logWrite(waiting.front().c_str()))
        waiting.pop_front();
}

static void Report(const char *format, va_list args)
{
    char text[1024];
    vsnprintf(text, sizeof text, format, args);
    fprintf(stderr, "kordax: %s\n", text);
    if (waiting.size() < MAX_WAITING)
        waiting.push_back(text);
    Sys_FlushReports();
}

void Sys_Warn(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    Report(format, args);
    va_end(args);
}

void Sys_WarnOnce(bool &said, const char *format, ...)
{
    if (said)
        return;
    said = true;
    va_list args;
    va_start(args, format);
    Report(format, args);
    va_end(args);
}
