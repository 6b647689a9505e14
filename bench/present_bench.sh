#!/bin/sh
# Runs the presenting benchmark under Xvfb (Mesa's llvmpipe) at 1366x768, 1920x1080 and 2560x1440.
# usage: bench/present_bench.sh BUILD_DIR
set -u
BUILD=${1:-build}
for size in 1366x768 1920x1080 2560x1440; do
  d=$((90 + $(od -An -N1 -tu1 /dev/urandom) % 9))
  Xvfb :$d -screen 0 ${size}x24 -nolisten tcp >/dev/null 2>&1 & xp=$!
  sleep 1
  DISPLAY=:$d KX_XSERVER_PID=$xp LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy \
    "$BUILD/kx_bench" --benchmark_filter=BM_Present 2>&1 | grep -E "BM_Present|presenting"
  kill $xp; wait $xp 2>/dev/null
done
