#!/usr/bin/env bash
# Tries a built package as a user gets it: lintian finds no error in it, apt installs it with
# its dependencies, the installed programs work (version, manual pages, completion, a download
# from the installed norvane-flash into the installed norvane-devsim, the SQL drivers are there,
# the window starts and its help document is where it looks), and apt removes it again.
#
#   packaging/try-package.sh norvane-upgrader_<version>_<arch>.deb
#
# It installs into this machine (as root, or through sudo). A norvane-upgrader package that was
# installed before is left alone: then only lintian runs, unless CI=true.
set -euo pipefail

deb=$(realpath "$1")
package=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

step() { echo "== $*"; }
fail() { echo "try-package: $*" >&2; exit 1; }

step "lintian $(basename "$deb")"
lintian_status=0
lintian --fail-on error "$deb" >"${TMPDIR:-/tmp}/lintian.$$" 2>&1 || lintian_status=$?
grep -v "running with root privileges" "${TMPDIR:-/tmp}/lintian.$$" || true
rm -f "${TMPDIR:-/tmp}/lintian.$$"
[ "$lintian_status" -eq 0 ] || fail "lintian reports an error"

if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" &&
    [ "${CI:-}" != true ]; then
    echo "try-package: $package is installed on this machine already; not replacing it"
    exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-package.XXXXXX")
devsim_pid=""
clean_up() {
    [ -n "$devsim_pid" ] && kill "$devsim_pid" 2>/dev/null && wait "$devsim_pid" 2>/dev/null
    step "removing $package"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get remove --purge -y -qq \
        -o DPkg::Lock::Timeout=300 "$package" >/dev/null || true
    rm -rf "$work"
}
trap clean_up EXIT

install_package() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1
}
step "apt install $(basename "$deb")"
if ! install_package; then
    $sudo apt-get update -qq
    install_package || { cat "$work/apt.log"; fail "apt cannot install the package"; }
fi

# Everything below runs the installed programs, away from the source and build trees, with a
# settings folder of its own.
cd "$work"
export HOME=$work XDG_CONFIG_HOME=$work/config

step "norvane-flash --version"
[ "$(command -v norvane-flash)" = /usr/bin/norvane-flash ] || fail "norvane-flash is not in /usr/bin"
[ "$(norvane-flash --version)" = "norvane-flash $version" ] || fail "norvane-flash reports the wrong version"

step "man -w"
for page in norvane-flash norvane-devsim norvane-upgrader; do
    man -w "$page" >/dev/null || fail "no manual page $page"
done

step "completion"
for program in norvane-flash norvane-devsim; do
    bash --norc -c "source /usr/share/bash-completion/completions/$program && complete -p $program" \
        >/dev/null || fail "no bash completion for $program"
    [ -f "/usr/share/zsh/vendor-completions/_$program" ] || fail "no zsh completion for $program"
done

step "download from the installed norvane-flash into the installed norvane-devsim"
norvane-devsim --link "$work/device" --flash-out "$work/flash.bin" >"$work/devsim.out" 2>&1 &
devsim_pid=$!
for _ in $(seq 100); do
    [ -e "$work/device" ] && break
    sleep 0.1
done
[ -e "$work/device" ] || fail "norvane-devsim made no device: $(cat "$work/devsim.out")"
norvane-flash flash --port "$work/device" \
    /usr/share/doc/norvane-upgrader/examples/norvane-demo.mot >"$work/flash.out" 2>&1 ||
    { cat "$work/flash.out"; fail "the download did not succeed"; }
tail -n 1 "$work/flash.out"
kill "$devsim_pid"
wait "$devsim_pid" || true
devsim_pid=""
[ -s "$work/flash.bin" ] || fail "norvane-devsim did not write its flash"

step "the Qt SQL drivers of the record store (plugins, so no link line names them)"
for driver in libqsqlite.so libqsqlpsql.so; do
    dpkg -S "qt6/plugins/sqldrivers/$driver" >/dev/null 2>&1 || fail "the SQL driver $driver is missing"
done

step "the window starts, and its help document and menu entry are installed"
# HelpFilePath("/usr/bin") looks in /usr/share/norvane-upgrader/Help.
[ -f /usr/share/norvane-upgrader/Help/Upgrader_Help_Contents.htm ] || fail "no help document"
[ -f /usr/share/applications/norvane-upgrader.desktop ] || fail "no desktop entry"
[ -f /usr/share/icons/hicolor/32x32/apps/norvane-upgrader.png ] || fail "no icon"
status=0
QT_QPA_PLATFORM=offscreen timeout 5 norvane-upgrader >"$work/window.out" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/window.out"; fail "the window ended with $status at start"; }

echo "try-package: $package $version installs and works"
