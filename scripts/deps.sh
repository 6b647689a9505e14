# Installs, through apt-get, whatever the build needs and this machine lacks. Sourced by play and test.
kx_packages_build="cmake make g++ pkg-config libsdl2-dev libvorbis-dev libogg-dev libsamplerate0-dev zlib1g-dev"
kx_packages_test="libgtest-dev libbenchmark-dev clang libclang-rt-14-dev desktop-file-utils appstream build-essential dpkg-dev debhelper fakeroot lintian sox"

kx_install() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq || true
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}
