#!/usr/bin/env bash
# Sets up, builds and runs the Tessary Norvane Upgrader on a Debian 12 machine.
#
#   ./build.sh run      check for a display, install what building and running the programs
#                       needs, build the programs alone (no tests, in build-run), and open the
#                       window on a virtual device with the sample firmware in the box
#                       (scripts/demo.sh)
#   ./build.sh test     install what is missing, check the formatting, build with warnings as
#                       errors, run the whole test suite (ctest), build the package and try it
#                       in a fresh Debian root (packaging/try-package.sh), then run the suite
#                       again built with the address and undefined-behaviour sanitizers
#   ./build.sh build    install what is missing and build only
#   ./build.sh package  install what is missing, build, and make the Debian package
#                       build/norvane-upgrader_<version>_<arch>.deb
#
# Missing Debian packages are installed with apt-get (as root, or through sudo).
set -euo pipefail
cd "$(dirname "$0")"

# What building and running the programs needs: the window's platform plugin comes with
# qt6-base-dev, the record's SQLite driver is a plugin of its own.
PROGRAM_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite
                  fonts-dejavu-core)
# What the test suite, the formatting check and the package's trial need besides.
TEST_PACKAGES=(libgtest-dev libqt6sql6-psql postgresql srecord socat xvfb xauth python3
               fonts-noto-core fonts-cantarell openbox x11-utils xdotool wmctrl
               clang-format dpkg-dev file lintian mmdebstrap zsh)
BUILD_DIR=${BUILD_DIR:-build}

install_missing_packages() {
    local missing=()
    for package in "$@"; do
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
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

run_tests() {
    ctest --test-dir "$1" --output-on-failure -j "$(nproc)"
}

# The C++ files git tracks, formatted as .clang-format says.
check_formatting() {
    echo "== clang-format --dry-run -Werror =="
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
}

# Prints the path of the package it made.
make_package() {
    (cd "$1" && cpack -G DEB >/dev/null)
    ls "$1"/norvane-upgrader_*.deb
}

require_display() {
    [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] && return 0
    echo "./build.sh run opens a window, but there is no display here (DISPLAY and" >&2
    echo "WAYLAND_DISPLAY are not set). Run it in a desktop session, or over ssh -X;" >&2
    echo "./build.sh build builds without a display." >&2
    exit 1
}

command=${1:-run}
case "$command" in
build | package | test) install_missing_packages "${PROGRAM_PACKAGES[@]}" "${TEST_PACKAGES[@]}" ;;
esac
case "$command" in
build)
    configure_and_build "$BUILD_DIR"
    ;;
package)
    configure_and_build "$BUILD_DIR"
    rm -f "$BUILD_DIR"/norvane-upgrader_*.deb
    make_package "$BUILD_DIR"
    ;;
test)
    check_formatting
    configure_and_build "$BUILD_DIR" -DNORVANE_WERROR=ON
    run_tests "$BUILD_DIR"
    echo "== The Debian package =="
    rm -f "$BUILD_DIR"/norvane-upgrader_*.deb
    packaging/try-package.sh "$(make_package "$BUILD_DIR")"
    echo "== The same suite under the address and undefined-behaviour sanitizers =="
    configure_and_build "$BUILD_DIR-sanitize" -DNORVANE_SANITIZE=ON -DNORVANE_WERROR=ON
    export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
    run_tests "$BUILD_DIR-sanitize"
    ;;
run)
    require_display
    install_missing_packages "${PROGRAM_PACKAGES[@]}"
    # A folder of its own, so it never reconfigures the test build without its tests.
    configure_and_build "$BUILD_DIR-run" -DNORVANE_BUILD_TESTS=OFF
    BUILD_DIR="$BUILD_DIR-run" scripts/demo.sh
    ;;
*)
    echo "usage: $0 [run|test|build|package]" >&2
    exit 2
    ;;
esac
