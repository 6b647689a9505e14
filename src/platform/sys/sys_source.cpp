// The seam's own state: the scripted source's virtual clock.
#include "sys_source.h"

static DWORD virtualNow = 0;

DWORD Sys_VirtualNow() { return virtualNow; }
void Sys_SetVirtualNow(DWORD ms) { virtualNow = ms; }
