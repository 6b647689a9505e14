// The configuration file (placeholder until it lands).
#include "kx_config.h"

void ReadIniFile() {}
void WriteIniFile() {}
