// The configuration file "kordax.ini": the players' keys, read at start-up, written at exit.
#pragma once

void ReadIniFile();
void WriteIniFile();
