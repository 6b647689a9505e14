#!/usr/bin/env bash
# The installed game: the tree cmake --install lays out, its validated desktop and AppStream files,
# a headless run from an unrelated folder that keeps the player's files in the XDG folders, and
# the Debian package. Usage: tests/install/install_test.sh [BUILD_DIR]
set -uo pipefail
build=$(cd "${1:-build}" && pwd) || exit 1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
failed=0

check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failed=1
    fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }
desktop=$(ls "$prefix"/share/applications/*.desktop 2>/dev/null | head -n 1)
id=$(basename "${desktop:-none}" .desktop)
for f in bin/kordax share/kordax/gfx/kx_font1.txt share/kordax/sound share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/man/man6/kordax.6 share/doc/kordax/LICENSE; do
    check "installs $f" test -e "$prefix/$f"
done
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }
for size in 32 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    check "a ${size}x${size} icon" test "$(png_size "$icon" 2>/dev/null)" = "${size}x${size}"
done
check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$desktop"
check "appstreamcli accepts the metadata" appstreamcli validate --no-net --pedantic --no-color \
    "$prefix/share/metainfo/$id.metainfo.xml"

# Player 1's fire redefined as F (70) on the title's input screen, then the exit item.
script=$tmp/redefine.txt
{
    echo "9000 press 40"; echo "9100 press 40"; echo "9200 press 13"
    for t in 93 94 95 96 97 98; do echo "${t}00 press 40"; done
    echo "9900 press 13"; echo "10000 press 70"; echo "10100 press 27"
    echo "10200 press 38"; echo "10300 press 38"; echo "10400 press 38"; echo "10500 press 13"
    echo "30000 quit"
} >"$script"
home=$tmp/home
work=$tmp/work
mkdir -p "$home" "$work"
(cd "$work" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$home" \
    "$prefix/bin/kordax" --headless --script "$script" >"$tmp/out.txt" 2>&1)
check "the installed game exits 0" test $? -eq 0
ini=$home/.config/kordax/kordax.ini
check "kordax.ini has 70 on player 1's fire line" test "$(sed -n 9p "$ini" 2>/dev/null)" = 70
check "kx_scores.dat holds 360 bytes" test "$(stat -c %s "$home/.local/share/kordax/kx_scores.dat" 2>/dev/null)" = 360
check "dderrors.log lies under the home folder" test -s "$home/.local/state/kordax/dderrors.log"
check "the working folder is untouched" test -z "$(ls -A "$work")"
check "nothing on standard error or output" test ! -s "$tmp/out.txt"
replay=$(ls "$home"/.local/state/kordax/replays/*.kxr 2>/dev/null | head -n 1)
(cd "$work" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$home" \
    "$prefix/bin/kordax" --headless --replay "${replay:-none}" >"$tmp/replay.txt" 2>&1)
check "the run is kept as a replay that plays back the same" grep -q ", matched" "$tmp/replay.txt"

(cd "$work" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$tmp/nobody" \
    "$prefix/bin/kordax" --headless --script "$script" >"$tmp/homeless.txt" 2>&1)
check "without a home folder it still plays to the end" test $? -eq 0
check "... says once for each file that it is not kept" test "$(grep -c 'will not be kept' "$tmp/homeless.txt")" = 3
check "... and leaves the working folder untouched" test -z "$(ls -A "$work")"

check "--help exits 0 and lists --window" sh -c "'$prefix/bin/kordax' --help | grep -q -- '--window'"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
check "--version says kordax $version" test "$("$prefix/bin/kordax" --version)" = "kordax $version"

(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.txt" 2>&1)
deb=$tmp/package/kordax_${version}_$(dpkg --print-architecture).deb
check "cpack builds $(basename "$deb")" test -s "$deb"
check "the package depends on libsdl2" sh -c "dpkg-deb -f '$deb' Depends | grep -q libsdl2"
check "the package holds the program" sh -c "dpkg-deb -c '$deb' | grep ' ./usr/bin/kordax$' >/dev/null"
[ $failed -eq 0 ] || { cat "$tmp/out.txt"; tail -n 20 "$tmp/cpack.txt"; }
exit $failed
