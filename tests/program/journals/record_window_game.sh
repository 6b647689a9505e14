#!/bin/bash
# Records window_game_220.kxr again, as a player would make it: the game in a window under Xvfb,
# keys pressed and held by xdotool (a game started, fire held while moving, abandoned, Exit).
# Usage: tests/program/journals/record_window_game.sh BUILD_DIR   (needs xvfb and xdotool)
set -eu
build=$(cd "${1:-build}" && pwd)
out=$(cd "$(dirname "$0")" && pwd)/window_game_220.kxr
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
ln -s "$build/run/gfx" "$work/gfx"
ln -s "$build/run/sound" "$work/sound"
Xvfb :77 -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=:77
sleep 2
cd "$work"
SDL_AUDIODRIVER=dummy "$build/run/kordax" --window --record "$out" >/dev/null 2>&1 &
pid=$!
sleep 12
xdotool key --clearmodifiers Return; sleep 4; xdotool key --clearmodifiers space; sleep 1
xdotool keydown space
for i in $(seq 1 12); do
    xdotool keydown a; sleep 1.2; xdotool keyup a
    xdotool keydown d; sleep 1.2; xdotool keyup d
    xdotool keydown w; sleep 0.6; xdotool keyup w
done
xdotool keyup space
# Escape abandons only in play: after a life lost the game waits for fire, so fire is pressed and
# Escape tried again (on the title neither key does anything).
for i in 1 2 3 4; do
    sleep 2; xdotool key --clearmodifiers Escape; sleep 2; xdotool key --clearmodifiers space
done
sleep 1; xdotool key --clearmodifiers Escape; sleep 3
xdotool key --clearmodifiers Up; sleep 0.5; xdotool key --clearmodifiers Return
wait $pid
"$build/run/kordax" --headless --replay "$out" | tail -n 1
