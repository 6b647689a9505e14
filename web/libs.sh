# Fetches SDL2 and the codecs from the Debian source archive through a private apt setup and builds them as static WebAssembly libraries, once.
# Sourced by scripts/web with $web (the build folder) set; leaves headers and libraries in $web/libs.

web_apt="$web/apt"
web_libs="$web/libs"

# An apt of our own: deb-src lines for the Debian suites this machine already uses, its own lists
# and cache, so the machine's sources and package state stay untouched.
web_apt_setup() {
    mkdir -p "$web_apt/sources.list.d" "$web_apt/state/lists/partial" "$web_apt/cache/archives/partial"
    local list="$web_apt/sources.list.new"
    apt-get indextargets --format '$(ORIGIN) $(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' |
        awk '$1 == "Debian" { print "deb-src " $2 " " $3 " " $4 }' | sort -u >"$list"
    if [ ! -s "$list" ]; then
        echo "web: this machine's apt has no Debian suite to take source packages from"
        return 1
    fi
    # A new list (another mirror, another suite) needs new indexes; the same list reuses them.
    if ! cmp -s "$list" "$web_apt/sources.list" || [ ! -f "$web_apt/updated" ]; then
        mv "$list" "$web_apt/sources.list"
        grep -v -- '-security ' "$web_apt/sources.list" >"$web_apt/release.list"
        rm -f "$web_apt/updated" "$web"/src/*.chosen
        web_apt_get update -qq || return 1
        touch "$web_apt/updated"
    else
        rm -f "$list"
    fi
}

web_apt_run() {
    local tool=$1
    shift
    "$tool" -o Dir::Etc::SourceList="${web_apt_list:-$web_apt/sources.list}" -o Dir::Etc::SourceParts="$web_apt/sources.list.d" \
        -o Dir::State="$web_apt/state" -o Dir::State::Lists="$web_apt/state/lists" \
        -o Dir::Cache="$web_apt/cache" -o Dir::Cache::Archives="$web_apt/cache/archives" \
        -o APT::Sandbox::User=root "$@"
}

web_apt_get() { web_apt_run apt-get "$@"; }
web_apt_cache() { web_apt_run apt-cache "$@"; }

# Unpacks the newest source of PKG into $web/src/PKG-VERSION (once) and prints that folder. A
# mirror that does not serve the security suite's pool leaves the release's own version.
web_source() {
    local pkg=$1 list version dir unpacked
    # Chosen on an earlier run from the same suites: no need to ask the archive again.
    if [ -f "$web/src/$pkg.chosen" ] && [ -f "$(cat "$web/src/$pkg.chosen")/.unpacked" ]; then
        cat "$web/src/$pkg.chosen"
        return 0
    fi
    for list in "$web_apt/sources.list" "$web_apt/release.list"; do
        version=$(web_apt_list=$list web_apt_cache showsrc --only-source "$pkg" 2>/dev/null |
            awk '/^Version:/ { print $2 }' | sort -V | tail -n 1)
        [ -n "$version" ] || continue
        dir="$web/src/$pkg-${version#*:}"
        if [ ! -f "$dir/.unpacked" ]; then
            rm -rf "$dir" "$web/fetch"
            mkdir -p "$web/fetch" "$web/src"
            if ! (cd "$web/fetch" && web_apt_list=$list web_apt_get -qq source --only-source "$pkg=$version" >/dev/null 2>&1); then
                echo "web: could not fetch the source of $pkg $version from $(grep -c . "$list") suite(s)" >&2
                continue
            fi
            unpacked=$(find "$web/fetch" -mindepth 1 -maxdepth 1 -type d | head -n 1)
            mv "$unpacked" "$dir" && touch "$dir/.unpacked" && rm -rf "$web/fetch"
        fi
        echo "$dir" >"$web/src/$pkg.chosen"
        echo "$dir"
        return 0
    done
    rm -rf "$web/fetch"
    return 1
}

# Compiles the C FILES with the compiler FLAGS into $web_libs/lib/libNAME.a: one emcc per core,
# each given its share of the files at once, since emcc's own start-up costs as much as a small file.
web_c_lib() {
    local name=$1 flags=$2 out=$web/libbuild/$1 jobs i
    shift 2
    jobs=$(nproc)
    rm -rf "$out"
    mkdir -p "$web_libs/lib" "$web_libs/include"
    for ((i = 0; i < jobs; i++)); do
        mkdir -p "$out/$i"
        (cd "$out/$i" && emcc -O2 -w $flags -c $(printf '%s\n' "$@" | awk -v n="$jobs" -v i="$i" 'NR % n == i')) &
    done
    for ((i = 0; i < jobs; i++)); do
        wait -n || { wait; return 1; }
    done
    rm -f "$web_libs/lib/lib$name.a"
    emar rcs "$web_libs/lib/lib$name.a" "$out"/*/*.o
}

# Fixed-width types for libogg, which its configure step would otherwise work out.
web_ogg_types() {
    cat <<'EOF'
#ifndef __CONFIG_TYPES_H__
#define __CONFIG_TYPES_H__
#include <stdint.h>
typedef int16_t ogg_int16_t;
typedef uint16_t ogg_uint16_t;
typedef int32_t ogg_int32_t;
typedef uint32_t ogg_uint32_t;
typedef int64_t ogg_int64_t;
typedef uint64_t ogg_uint64_t;
#endif
EOF
}

# Builds what is missing; a library whose source version is unchanged is not built again. Each is
# a plain list of C files: the libraries' own CMake checks run slowly under emscripten (and zlib's
# wants Windows resources Debian's source leaves out), and SDL ships its emscripten configuration.
web_build_libs() {
    web_apt_setup || return 1
    mkdir -p "$web_libs/include" "$web/libbuild"
    local pkg dir stamp s d files
    for pkg in zlib libogg libvorbis libsamplerate libsdl2; do
        dir=$(web_source "$pkg") || return 1
        stamp="$web_libs/.built-$(basename "$dir")"
        [ -f "$stamp" ] && continue
        echo "web: building $(basename "$dir") for WebAssembly"
        case $pkg in
        zlib)
            web_c_lib z "-DHAVE_UNISTD_H -DHAVE_STDARG_H" "$dir"/{adler32,compress,crc32,deflate,gzclose,gzlib,gzread,gzwrite,infback,inffast,inflate,inftrees,trees,uncompr,zutil}.c || return 1
            cp "$dir/zlib.h" "$dir/zconf.h" "$web_libs/include/" ;;
        libogg)
            mkdir -p "$web_libs/include/ogg"
            cp "$dir"/include/ogg/{ogg.h,os_types.h} "$web_libs/include/ogg/"
            web_ogg_types >"$web_libs/include/ogg/config_types.h"
            web_c_lib ogg "-I$web_libs/include" "$dir"/src/{bitwise,framing}.c || return 1 ;;
        libvorbis)
            # The encoder too: the asset generator writes the music with it.
            web_c_lib vorbis "-I$web_libs/include -I$dir/include -I$dir/lib" \
                $(ls "$dir"/lib/*.c | grep -vE '/(barkmel|psytune|tone)\.c$') || return 1
            mkdir -p "$web_libs/include/vorbis"
            cp "$dir"/include/vorbis/*.h "$web_libs/include/vorbis/" ;;
        libsamplerate)
            mkdir -p "$web/libbuild/samplerate-config"
            # The game asks for the medium quality only; the other tables would weigh on the page.
            printf '#define %s 1\n' ENABLE_SINC_MEDIUM_CONVERTER HAVE_STDBOOL_H >"$web/libbuild/samplerate-config/config.h"
            d=${dir##*/libsamplerate-}
            printf '#define PACKAGE "libsamplerate"\n#define VERSION "%s"\n' "${d%-*}" >>"$web/libbuild/samplerate-config/config.h"
            web_c_lib samplerate "-DHAVE_CONFIG_H -I$web/libbuild/samplerate-config -I$dir/include" \
                "$dir"/src/{samplerate,src_linear,src_sinc,src_zoh}.c || return 1
            cp "$dir/include/samplerate.h" "$web_libs/include/" ;;
        libsdl2)
            # Without -pthread SDL's emscripten configuration has no threads: the browser's video,
            # events, audio and gamepads, with the dummy drivers beside them (the dummy video is
            # not in that configuration; the game's headless mode needs it). No shared objects in
            # a page: emscripten's dlopen aborts the program where SDL would try one and go on.
            s=$dir/src
            files=()
            for d in . atomic audio audio/emscripten audio/dummy audio/disk cpuinfo events file \
                filesystem/emscripten haptic haptic/dummy joystick joystick/emscripten joystick/virtual \
                loadso/dummy locale locale/emscripten misc misc/emscripten power power/emscripten render \
                render/opengles2 render/software sensor sensor/dummy stdlib thread thread/generic timer \
                timer/unix video video/emscripten video/dummy video/yuv2rgb; do
                files+=("$s/$d"/*.c)
            done
            web_c_lib SDL2 "-I$dir/include -DSDL_VIDEO_DRIVER_DUMMY=1 -DSDL_LOADSO_DISABLED=1" "${files[@]}" || return 1
            mkdir -p "$web_libs/include/SDL2"
            cp "$dir"/include/*.h "$web_libs/include/SDL2/" ;;
        esac
        touch "$stamp"
    done
}
