#!/usr/bin/env bash
# Remakes the software-centre screenshots from a built game: a headless scripted run, each PNG saved by the game.
# Usage: dist/screenshots/make-screenshots.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
run=$(cd "${1:-build}/run" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# In place: the player's files stay in this scratch folder, none in the home folder.
ln -s "$run/gfx" gfx
ln -s "$run/sound" sound
{
    # Start level 5 from the credits screen (up twice, Return, Page Up four times, Escape), then start.
    printf '%s\n' '9000 press 38' '9100 press 38' '9200 press 13' '9300 press 33' '9350 press 33' \
        '9400 press 33' '9450 press 33' '9600 press 27' '9700 press 40' '9800 press 40' '9900 press 13'
    echo '13900 down 32' # fire held for the whole game
    for t in 14500 17500; do
        echo "$t down 65"; echo "$((t + 700)) up 65"; echo "$((t + 1500)) down 68"; echo "$((t + 2200)) up 68"
    done
    echo '19800 shot kordax-play.png'
    echo '20000 press 9' # the electro zap
    echo '20600 shot kordax-zap.png'
    # Every two seconds three Backspaces and K, O, R: nothing during play, the initials once the
    # game is over, whenever typing starts.
    for t in $(seq 30000 2000 236000); do
        for k in 8 8 8 75 79 82; do echo "$t press $k"; t=$((t + 100)); done
    done
    echo '239500 press 13'
    echo '245000 shot kordax-title.png'
    echo '245100 quit'
} | sort -n -s -k1,1 >script.txt
"$run/kordax" --headless --script script.txt >/dev/null
for f in kordax-*.png; do
    # Lossless recompression only, where optipng is at hand.
    if command -v optipng >/dev/null; then optipng -quiet -o2 "$f"; fi
    cp "$f" "$here/"
done
ls -l "$here"/*.png
