// What the operating system gives the services: folders, the home folder, the time, durable file replacement.
#pragma once

#include <cstddef>
#include <string>

// Milliseconds from a steady clock, for what waits in real time whatever source runs.
unsigned Sys_Milliseconds();
// Local time as YYYYMMDD-HHMMSS, for file names that sort by time.
std::string Sys_TimeStamp();
// $HOME, else the password entry's; absolute only, or empty.
std::string Sys_HomePath();
// The running program's own path (argv0 when the system cannot say).
std::string Sys_ExecutablePath(const char *argv0);
bool Sys_IsFolder(const std::string &path);
// mkdir -p, private as the XDG rules ask for unless shared (a pictures folder); false with errno set on failure.
bool Sys_MakeFolders(const std::string &path, bool shared = false);
// The player cannot write the file at path (false also when there is none).
bool Sys_ReadOnly(const std::string &path);
// Writes data to path.tmp, flushes it to disk, renames it over path and makes the rename durable.
// On failure nothing is left but the old file, and false comes back with errno set.
bool Sys_ReplaceFile(const std::string &path, const void *data, size_t size);
// For tests: make the next replacement's write fail after this many bytes (-1: never).
void Sys_FailWritesAfter(long bytes);
