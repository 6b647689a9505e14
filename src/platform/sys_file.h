// File access for the game: backslash paths, and saves that replace a file whole or not at all.
#pragma once

#include <cstdio>
#include <string>

// fopen with the game's "gfx\\name" paths turned into "gfx/name".
FILE *Sys_FOpen(const char *name, const char *mode);
std::string Sys_NativePath(const char *name);

// Writes data to a temporary file beside name, flushes it to disk and renames it over name.
// On any failure the old file is left as it was and false is returned.
bool Sys_SaveFile(const char *name, const void *data, size_t size);
// For tests: make the next save's write fail after this many bytes (-1: never).
void Sys_FailWritesAfter(long bytes);

// Why a game file cannot be used, as the log words it: "missing", "unreadable", "a folder", or
// "too large" when it holds more than sizeLimit bytes (-1: no limit). Null when it opens as a file.
const char *Sys_FileProblem(const char *name, long long sizeLimit = -1);
