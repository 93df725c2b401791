#!/usr/bin/env bash
# Sets up, builds and runs the Tessary Norvane Upgrader on a Debian 12 machine.
#
#   ./build.sh run      install what is missing, build, and start the program's main job
#   ./build.sh test     install what is missing, build, and run the whole test suite (ctest)
#   ./build.sh build    install what is missing and build only
#
# Missing Debian packages are installed with apt-get (as root, or through sudo).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgtest-dev
          srecord socat xvfb xauth)
BUILD_DIR=${BUILD_DIR:-build}

install_missing_packages() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]} ..."
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

configure_and_build() {
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

command=${1:-run}
install_missing_packages
case "$command" in
build)
    configure_and_build
    ;;
test)
    configure_and_build
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$(nproc)"
    ;;
run)
    configure_and_build
    "$BUILD_DIR/cli/norvane-flash" info samples/norvane-demo.mot
    ;;
*)
    echo "usage: $0 [run|test|build]" >&2
    exit 2
    ;;
esac
