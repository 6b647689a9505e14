// File access for the game: where files live, backslash paths, and whole-or-nothing saves.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "sys_os.h"

// Decides where the game's files live, once at start. In place (the working folder holds gfx/,
// and also before this is called) every name is opened in the working folder. Installed, gfx/
// and sound/ come from the data folder beside the executable, "kordax.ini" from
// $XDG_CONFIG_HOME/kordax, "kx_scores.dat" from $XDG_DATA_HOME/kordax and "dderrors.log" from
// $XDG_STATE_HOME/kordax; those folders are created as needed.
// Returns false when no data folder is found, with one message naming the folders tried.
// Otherwise true, with one message for each player's file that cannot be kept and why.
bool Sys_LocateFiles(const std::string &exePath, std::vector<std::string> &messages);
// For tests: back to opening every name in the working folder.
void Sys_UseWorkingFolder();
// Whether the game runs installed (player files in the XDG folders) rather than in place.
bool Sys_FilesInstalled();

// fopen with the game's "gfx\\name" paths turned into "gfx/name".
FILE *Sys_FOpen(const char *name, const char *mode);
std::string Sys_NativePath(const char *name);
// The path a game name is opened at; false when its folder is unavailable this run.
bool Sys_ResolvePath(const char *name, std::string &path);

// Opens a player's file for reading and decides, from this open's own error at the path it was
// opened at, whether the file may be replaced later. Null with *keep null: there is no such file
// (the only failure that means absent). *keep set: the file is there and must be left as it is,
// for the reason given as the log words it: "unreadable", "unreadable (<error>)", what stands there
// when it is no plain file ("a folder", "a FIFO", "a socket", "a device"; never opened, so nothing
// waits), or "read-only", the one case that also returns the file open, for reading.
FILE *Sys_OpenPlayerFile(const char *name, const char **keep);

// Every save of a player's file passes here. Writes data to a temporary file beside name (beside
// the file a symbolic link at name points to: the link stays), flushes it to disk and renames it
// over that file, keeping its mode. A file there that the player cannot write, or something
// other than a plain file, is left alone ("a folder", "a FIFO", ...). On any failure the old file is left as it was and false is returned, with *why
// (when given) saying why as the log words it: "read-only", "no space left on the disk", or the
// system's text for the error; null when the file is not kept this run (said at start-up).
bool Sys_SaveFile(const char *name, const void *data, size_t size, const char **why = nullptr);

// Before a file read back damaged is replaced: keeps its bytes beside it as NAME.damaged (or
// NAME.damaged.2 to .9; an earlier copy is never overwritten). copy is the path of the copy,
// empty when there was nothing to keep or nothing is replaced this run. False when no copy could
// be made, with *why as the log words it; the file must then be left as it is.
bool Sys_KeepDamaged(const char *name, std::string &copy, const char **why);

// Why a game file cannot be used, as the log words it: "missing", "unreadable", "a folder", or
// "too large" when it holds more than sizeLimit bytes (-1: no limit). Null when it opens as a file.
// Looked at where the file is opened from; only "no such file" is "missing".
const char *Sys_FileProblem(const char *name, long long sizeLimit = -1);

// Replays: "kordax.ini" and "kx_scores.dat" are read from these copies (null: missing), and no
// player's file is written while on ("dderrors.log" goes nowhere). The strings must outlive the run.
void Sys_ServePlayerFiles(bool on, const std::string *ini = nullptr, const std::string *scores = nullptr);
// Whether name is a player's file served so; present tells whether it has a copy.
bool Sys_ServedFile(const char *name, bool &present);
// $XDG_STATE_HOME/kordax when installed (and usable), else "".
std::string Sys_StateFolder();
