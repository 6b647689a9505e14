// The seam's own state: the scripted source's virtual clock.
#include "sys_source.h"

static DWORD virtualNow = 0;

DWORD Sys_VirtualNow() { return virtualNow; }
void Sys_SetVirtualNow(DWORD ms) { virtualNow = ms; }

SysPadStyle Sys_PadStyle(const uint8_t (&)[16]) { return SYS_PAD_GENERIC; } // TODO(pads): from the maker
