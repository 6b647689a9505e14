// Small helpers the platform's files share: whole-file reads with a limit, free time-stamped names, escaping, the version.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Reads the rest of f into out, at most limit bytes. False when reading fails or, with tooLarge
// set, when there is more than limit (out then holds only part of it).
bool Sys_ReadAll(FILE *f, size_t limit, std::vector<uint8_t> &out, bool &tooLarge);
bool Sys_ReadAll(FILE *f, size_t limit, std::string &out, bool &tooLarge);
// A name in folder not yet taken: stem + "-" + the local time + a counter's suffix + ext, the
// suffix given by suffix(n) for n = 1, 2, ... up to 99; empty when all are taken.
std::string Sys_FreeTimedName(const std::string &folder, const std::string &stem, const std::string &ext,
                              std::string (*suffix)(int n));
// At most limit bytes of text as a log shows it: printable ASCII kept, other bytes as \xNN, and
// "..." after a cut.
std::string Sys_Escape(const std::string &text, size_t limit = std::string::npos);
// s without the spaces, tabs and carriage returns around it.
std::string Sys_Trim(const std::string &s);
// Hands take each line of text that is neither blank nor a '#' comment, without its surrounding
// spaces, tabs and carriage return, with its number (from 1); returns how many it handed over.
int Sys_EachTextLine(const std::string &text, void (*take)(const std::string &line, int number, void *context),
                     void *context);
// The program's version, as built.
const char *Sys_Version();
