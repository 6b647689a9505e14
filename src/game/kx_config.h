// The configuration file "kordax.ini": the players' keys, read at start-up, written when they
// change and at exit.
#pragma once

// The file's block markers; entry 0 stands for no marker.
enum { INI_NONE = 0, INI_KORDAX = 1, INI_P1_INPUT = 2, INI_P2_INPUT = 3, INI_END_KORDAX = 4, INI_BLOCK_COUNT = 5 };
extern const char *const IniStrings[INI_BLOCK_COUNT];

// Updates P1InputKeys and P2InputKeys from the file; what was read before an error stays.
void ReadIniFile();
// True after ReadIniFile found the file there but unreadable or read-only; WriteIniFile then
// leaves it alone.
extern bool IniUnreadable;
// Replaces the file whole with the current key tables; false (the old file kept) on failure
// or when the file could not be read.
bool WriteIniFile();
int INI_GetBlockMarker(char *line);
