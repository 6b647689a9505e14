// The dying state: a destroyed laser's explosion plays out, then a life is lost.
#pragma once

enum { KX_DYING_TIME = 3000 };

void KX_STATE_DYING_Start();
void KX_STATE_DYING_Update(int time);
