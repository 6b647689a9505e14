#!/usr/bin/env bash
# The installed game: the tree cmake --install lays out, its validated desktop and AppStream files,
# the Debian packages built from a copy of the tree (lintian, hardening), and the game played
# headless from an unrelated folder, from the prefix and from the installed packages, keeping the
# player's files in the XDG folders. Usage: tests/install/install_test.sh [BUILD_DIR]
# The packages are installed into this machine (as root, or through sudo without a password) only
# when neither they nor /usr/games/kordax or /usr/share/kordax are there, and purged afterwards.
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-build}" && pwd) || exit 1
tmp=$(mktemp -d)
sudo=""
installed=0
cleanup() {
    [ $installed -eq 1 ] && $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kordax kordax-data >/dev/null 2>&1
    rm -rf "$tmp"
}
trap cleanup EXIT
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
work=$tmp/work

# Plays the game at $1 headless from an empty folder with a fresh home; $2 names the install.
play_installed() {
    local exe=$1 what=$2 home=$tmp/home-$2
    rm -rf "$work" && mkdir -p "$home" "$work"
    (cd "$work" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$home" \
        "$exe" --headless --script "$script" >"$tmp/out-$what.txt" 2>&1)
    check "$what: the installed game exits 0" test $? -eq 0
    check "$what: kordax.ini has 70 on player 1's fire line" \
        test "$(sed -n 9p "$home/.config/kordax/kordax.ini" 2>/dev/null)" = 70
    check "$what: kx_scores.dat holds 360 bytes" \
        test "$(stat -c %s "$home/.local/share/kordax/kx_scores.dat" 2>/dev/null)" = 360
    check "$what: dderrors.log lies under the home folder" test -s "$home/.local/state/kordax/dderrors.log"
    check "$what: the working folder is untouched" test -z "$(ls -A "$work")"
    check "$what: nothing on standard error or output" test ! -s "$tmp/out-$what.txt"
    local replay
    replay=$(ls "$home"/.local/state/kordax/replays/*.kxr 2>/dev/null | head -n 1)
    (cd "$work" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$home" \
        "$exe" --headless --replay "${replay:-none}" >"$tmp/replay-$what.txt" 2>&1)
    check "$what: the run is kept as a replay that plays back the same" grep -q ", matched" "$tmp/replay-$what.txt"
    [ -s "$tmp/out-$what.txt" ] && cat "$tmp/out-$what.txt"
}
play_installed "$prefix/bin/kordax" prefix

(cd "$work" && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME HOME="$tmp/nobody" \
    "$prefix/bin/kordax" --headless --script "$script" >"$tmp/homeless.txt" 2>&1)
check "without a home folder it still plays to the end" test $? -eq 0
check "... says once for each file that it is not kept" test "$(grep -c 'will not be kept' "$tmp/homeless.txt")" = 3
check "... and leaves the working folder untouched" test -z "$(ls -A "$work")"

check "--help exits 0 and lists --window" sh -c "'$prefix/bin/kordax' --help | grep -q -- '--window'"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
check "--version says kordax $version" test "$("$prefix/bin/kordax" --version)" = "kordax $version"

# What software centres show: this version's release, the game's own screenshots (PNGs kept under
# dist/ at the size given), a content rating, branding colours and the controls.
meta=$prefix/share/metainfo/$id.metainfo.xml
check "the metadata's release is $version" grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$meta"
shots=$(sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">https://[^<]*/\(dist/[^<]*\.png\)</image>|\3 \1x\2|p' "$meta")
check "the metadata shows at least three screenshots" test "$(printf '%s\n' "$shots" | grep -c .)" -ge 3
while read -r file size; do
    check "screenshot ${file:-none} lies in the tree, ${size:-?} as given" \
        test "$(png_size "$source_dir/$file" 2>/dev/null)" = "$size"
done <<<"$shots"
for want in '<content_rating type="oars-1.1">' '<color type="primary" scheme_preference="light">' \
    '<color type="primary" scheme_preference="dark">' '<control>keyboard</control>' '<control>gamepad</control>'; do
    check "the metadata carries $want" grep -qF "$want" "$meta"
done

# The Debian packages, built from a copy of the tree so that nothing lands beside the checkout.
src=$tmp/deb/kordax
mkdir -p "$src"
if git -C "$source_dir" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$source_dir" && git ls-files -co --exclude-standard -z | tar --null --ignore-failed-read -T - -cf -) |
        tar -xf - -C "$src"
else
    tar -C "$source_dir" --exclude='./build*' --exclude='./obj-*' -cf - . | tar -xf - -C "$src"
fi

# A machine without libsdl2-dev: dpkg-checkbuilddeps stops the build before anything is built.
mkdir -p "$tmp/admin"
awk -v RS= -v ORS='\n\n' '!/^Package: libsdl2-dev\n/' /var/lib/dpkg/status >"$tmp/admin/status"
(cd "$src" && dpkg-buildpackage -us -uc -b --admindir="$tmp/admin" >"$tmp/nodeps.txt" 2>&1)
check "without libsdl2-dev the build stops" test $? -ne 0
check "... with dpkg-checkbuilddeps' message" \
    grep -q '^dpkg-checkbuilddeps: error: Unmet build dependencies: libsdl2-dev$' "$tmp/nodeps.txt"
check "... before building anything" test -z "$(ls -d "$src"/obj-* "$tmp"/deb/*.deb 2>/dev/null)"

start=$(date +%s)
(cd "$src" && dpkg-buildpackage -us -uc -b >"$tmp/dpkg-buildpackage.txt" 2>&1)
built=$?
check "dpkg-buildpackage -us -uc -b succeeds ($(($(date +%s) - start)) s)" test $built -eq 0
[ $built -eq 0 ] || tail -n 30 "$tmp/dpkg-buildpackage.txt"
debversion=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)
check "debian/changelog's $debversion is the project's $version" test "${debversion%-*}" = "$version"
deb=$tmp/deb/kordax_${debversion}_$(dpkg --print-architecture).deb
data=$tmp/deb/kordax-data_${debversion}_all.deb
check "kordax holds /usr/games/kordax and the compressed man page" sh -c \
    "dpkg-deb -c '$deb' | grep -c -e ' ./usr/games/kordax$' -e ' ./usr/share/man/man6/kordax.6.gz$' | grep -qx 2"
check "kordax depends on kordax-data (= $debversion)" sh -c \
    "dpkg-deb -f '$deb' Depends | grep -qF 'kordax-data (= $debversion)'"
check "kordax-data is for all architectures and holds the data" sh -c \
    "dpkg-deb -f '$data' Architecture | grep -qx all && dpkg-deb -c '$data' | grep ' ./usr/share/kordax/sound/' >/dev/null"
if command -v lintian >/dev/null; then
    lintian -I --pedantic "$deb" "$data" >"$tmp/lintian.txt" 2>&1
    check "lintian -I --pedantic: no error, no warning" test -z "$(grep '^[EW]:' "$tmp/lintian.txt")"
    grep '^[A-Z]:' "$tmp/lintian.txt" | sed 's/^/  lintian: /'
else
    check "lintian is installed" false
fi

if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo -n"
    $sudo true 2>/dev/null || sudo=none
fi
inway=$(dpkg-query -W -f='${db:Status-Status} ${Package}\n' kordax kordax-data 2>/dev/null | grep -v '^not-installed')
[ -e /usr/games/kordax ] && inway="$inway /usr/games/kordax"
[ -e /usr/share/kordax ] && inway="$inway /usr/share/kordax"
if [ "$sudo" = none ]; then
    echo "SKIPPED: installing the packages needs root or sudo without a password"
elif [ -n "$inway" ]; then
    check "nothing in the packages' way on this machine (found: $inway)" false
elif [ $built -eq 0 ]; then
    installed=1
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" "$data" >"$tmp/apt.txt" 2>&1
    check "apt-get installs both packages" sh -c "dpkg-query -W -f='\${db:Status-Status}\n' kordax kordax-data | grep -c '^installed$' | grep -qx 2"
    exe=/usr/games/kordax
    check "readelf: full RELRO (GNU_RELRO and BIND_NOW)" sh -c \
        "readelf -lW $exe | grep -q GNU_RELRO && readelf -d $exe | grep -q BIND_NOW"
    check "readelf: a position-independent executable" sh -c "readelf -d $exe | grep -q 'Flags:.* PIE'"
    chk=$(readelf --dyn-syms -W $exe | grep -o '__[a-z]*_chk@' | grep -v __stack_chk | sort -u | tr -d @ | xargs)
    check "readelf: fortified functions ($chk)" test -n "$chk"
    play_installed $exe package
    check "/usr/games/kordax --version says kordax $version" test "$($exe --version)" = "kordax $version"

    dpkg -L kordax kordax-data | while read -r f; do [ -d "$f" ] || echo "$f"; done >"$tmp/owned.txt"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kordax kordax-data >>"$tmp/apt.txt" 2>&1
    installed=0
    left=$(while read -r f; do [ -e "$f" ] && echo "$f"; done <"$tmp/owned.txt"
        for d in /usr/share/kordax /usr/share/doc/kordax /usr/share/doc/kordax-data; do [ -e $d ] && echo $d; done)
    check "apt-get purge leaves none of their $(wc -l <"$tmp/owned.txt") files under /usr" \
        test -n "$(cat "$tmp/owned.txt")" -a -z "$left"
    [ -z "$left" ] || echo "$left"
fi
[ $failed -eq 0 ] || { tail -n 20 "$tmp/dpkg-buildpackage.txt" "$tmp/apt.txt" 2>/dev/null; }
exit $failed
