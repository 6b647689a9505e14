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
// What stands at path when it is not a plain file, as the log words it: "a folder", "a FIFO",
// "a socket" or "a device"; null for a plain file or nothing there.
const char *Sys_NotAFile(const std::string &path);
// Opens path without waiting for a writer or reader (a FIFO opens at once), close-on-exec, with
// open(2)'s flags. When onlyFiles and something other than a plain file stands there, -1 with
// *kind saying what it is (as Sys_NotAFile); otherwise -1 with errno on failure.
int Sys_OpenNoWait(const std::string &path, int flags, bool onlyFiles = false, const char **kind = nullptr);
// The file a chain of symbolic links at path ends at (path itself when it is no link), so that
// a save replaces the player's linked file rather than the link. Empty with errno on a loop.
std::string Sys_LinkTarget(const std::string &path);
// Writes data to path.tmp, flushes it to disk, renames it over path and makes the rename durable;
// the file keeps its permission bits. On failure nothing is left but the old file, and false
// comes back with errno set.
bool Sys_ReplaceFile(const std::string &path, const void *data, size_t size);
// Keeps the bytes now at path under path.damaged, or path.damaged.2 to .9 when taken: an
// earlier copy is never overwritten. copy is the name used; empty when nothing is there to keep.
// False with errno set when no copy could be made.
bool Sys_KeepCopy(const std::string &path, std::string &copy);
// A file made for the player to take away (a screenshot): a page hands it to the browser as a
// download and lets it go; a desktop leaves it where it is.
void Sys_OfferFile(const std::string &path);
// For tests: make the next replacement's write fail after this many bytes (-1: never).
void Sys_FailWritesAfter(long bytes);
