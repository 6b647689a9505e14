// Pad mappings a player keeps beside "kordax.ini", in the form of SDL's gamecontrollerdb.txt.
#pragma once

#include <string>

#define SYS_PAD_MAPPINGS_FILE "gamecontrollerdb.txt"

// Hands each mapping line of text to take, with its line number: line ends and the blanks around
// it cut, blank lines and # comments skipped. Returns how many were handed over.
int Sys_EachPadMapping(const std::string &text, void (*take)(const std::string &line, int number, void *context),
                       void *context);
// Reads the player's mappings file into text; path is where it lies, for messages. False when there
// is none (quietly) or it cannot be read (said once).
bool Sys_ReadPadMappings(std::string &text, std::string &path);
