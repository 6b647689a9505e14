// The line-oriented reader shared by the sprite frame, font metrics and configuration files.
#pragma once

#include "win_types.h"

#include <cstdio>

// Every read takes one line: at most this many characters, terminator included.
enum { SCRIPT_LINE_SIZE = 256 };

// Reads the next line (or the next 255-character piece of a longer one) into line.
// False at the end of the stream.
bool SCRIPT_ReadLine(FILE *f, char line[SCRIPT_LINE_SIZE]);

bool SCRIPT_ReadInt(FILE *f, int *value);
// The number rule of SCRIPT_ReadInt applied to a line already read.
bool SCRIPT_ParseInt(const char *line, int *value);
// The line holds a number by that rule with nothing after it but blanks and its line end, within
// 32 bits ("key 0x41" is whole; "3x" and "99999999999" are read, but are not).
bool SCRIPT_IsWholeInt(const char *line);
char *SCRIPT_ReadString(FILE *f); // allocated with new[]; the caller frees it with delete[]
bool SCRIPT_ReadPoint(FILE *f, POINT *p);
bool SCRIPT_ReadRect(FILE *f, RECT *r);
bool SCRIPT_GetPoint(char **cursor, POINT *p);

// The block-marker rule over one owner's table (entry 0 the empty string): cuts line just after
// its first ']' and returns the index of the entry equal to the bracketed text, 0 when none.
int SCRIPT_GetBlockMarker(char *line, const char *const *table, int count);
// The line holds a bracketed marker and nothing else but blanks and its line end.
bool SCRIPT_IsBareMarker(const char *line);
