// Pad mappings a player keeps beside "kordax.ini", in the form of SDL's gamecontrollerdb.txt.
#pragma once

#include <string>

#define SYS_PAD_MAPPINGS_FILE "gamecontrollerdb.txt"

// Reads the player's mappings file into text; path is where it lies, for messages. False when there
// is none (quietly) or it cannot be read (said once).
bool Sys_ReadPadMappings(std::string &text, std::string &path);
