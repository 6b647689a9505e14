// Presentation on the playfield: a destroyed turret's flash and shake, and the runway warnings.
#pragma once

enum {
    KX_FIELDFX_FLASH_TIME = 160, // the white flash fades out over this long
    KX_FIELDFX_SHAKE_TIME = 250, // the field shakes this long, never longer
    KX_FIELDFX_SHAKE_MAX = 5,    // pixels at the start of the shake
    KX_FIELDFX_SIZE = 480,       // the playfield with its runways; the panel beyond stays steady
    KX_FIELDFX_BLINK_TIME = 160  // a warning mark's on and off phases
};

// Strength of the flash, 0..256, and the field's offset, at `elapsed` ms after a turret's death.
int KX_FIELDFX_FlashAlpha(int elapsed);
void KX_FIELDFX_ShakeOffset(int elapsed, int *dx, int *dy);
// Whitens and shifts the drawn field on the back buffer as KX_FIELDFX_FlashAlpha and
// KX_FIELDFX_ShakeOffset give for `elapsed`; outside their times it leaves the frame alone.
void KX_FIELDFX_TurretDeath(int elapsed);
// Blinking marks at the runway ends while an enemy runs along that runway toward its turret.
void KX_FIELDFX_DrawRunwayWarnings(int time);
