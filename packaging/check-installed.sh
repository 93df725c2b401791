#!/usr/bin/env bash
# Runs inside a fresh Debian root where the package was installed with apt, nothing else of the
# project present: the installed programs work as a user meets them.
#
#   check-installed.sh VERSION
set -euo pipefail
version=$1

step() { echo "== $*"; }
fail() { echo "check-installed: $*" >&2; exit 1; }

work=$(mktemp -d)
devsim_pid=""
trap '[ -n "$devsim_pid" ] && kill "$devsim_pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
export HOME=$work XDG_CONFIG_HOME=$work/config

step "norvane-flash --version"
[ "$(command -v norvane-flash)" = /usr/bin/norvane-flash ] || fail "norvane-flash is not in /usr/bin"
[ "$(norvane-flash --version)" = "norvane-flash $version" ] || fail "norvane-flash reports the wrong version"

step "man -w"
for page in norvane-flash norvane-devsim norvane-upgrader norvane-station; do
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

step "the download is in the record (the Qt SQLite driver, a plugin no link line names)"
norvane-flash history --json >"$work/history.json" 2>&1 ||
    { cat "$work/history.json"; fail "norvane-flash history cannot read the record"; }
grep -q '"outcome":"downloaded"' "$work/history.json" ||
    { cat "$work/history.json"; fail "the record holds no download"; }
dpkg -S qt6/plugins/sqldrivers/libqsqlpsql.so >/dev/null 2>&1 ||
    fail "the PostgreSQL driver of the record store is missing"

step "the window starts, and its help document and menu entry are installed"
# HelpFilePath("/usr/bin") looks in /usr/share/norvane-upgrader/Help.
[ -f /usr/share/norvane-upgrader/Help/Upgrader_Help_Contents.htm ] || fail "no help document"
[ -f /usr/share/applications/norvane-upgrader.desktop ] || fail "no desktop entry"
[ -f /usr/share/icons/hicolor/32x32/apps/norvane-upgrader.png ] || fail "no icon"
status=0
QT_QPA_PLATFORM=offscreen timeout 5 norvane-upgrader >"$work/window.out" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/window.out"; fail "the window ended with $status at start"; }

step "the station window starts, and its help document and menu entry are installed"
[ "$(norvane-station --version)" = "norvane-station $version" ] ||
    fail "norvane-station reports the wrong version"
# Its help document lies in /usr/share/norvane-station/Help; its icon is the upgrader's.
[ -f /usr/share/norvane-station/Help/Station_Help.htm ] || fail "no station help document"
[ -f /usr/share/applications/norvane-station.desktop ] || fail "no station desktop entry"
status=0
QT_QPA_PLATFORM=offscreen timeout 5 norvane-station >"$work/station.out" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$work/station.out"; fail "the station window ended with $status at start"; }

echo "check-installed: norvane-upgrader $version installs and works"
