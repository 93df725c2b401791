#!/usr/bin/env bash
# Tries a built package as a user on a fresh machine gets it: lintian finds no error in it;
# then a fresh Debian 12 root is made (mmdebstrap, apt's minimal variant plus man-db), the
# package is installed into it with apt, which brings its dependencies, and
# packaging/check-installed.sh runs the installed programs there. Nothing of the project and
# nothing built is in that root, and this machine's own packages are left alone; the root is
# thrown away at the end.
#
#   packaging/try-package.sh norvane-upgrader_<version>_<arch>.deb
#
# Needs root (or sudo) for the chroot, and Debian's package mirror.
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")"
version=$(dpkg-deb -f "$deb" Version)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

echo "== the package recommends bash-completion, which loads its completion"
[[ $(dpkg-deb -f "$deb" Recommends) == *bash-completion* ]] ||
    { echo "try-package: the package does not recommend bash-completion" >&2; exit 1; }

echo "== lintian $(basename "$deb")"
report=$(lintian --fail-on error "$deb" 2>&1) || { echo "$report"; echo "try-package: lintian reports an error" >&2; exit 1; }
grep -v "running with root privileges" <<<"$report" || true

echo "== a fresh Debian 12 root, the package installed with apt"
$sudo mmdebstrap --quiet --variant=apt --mode=root --include=man-db \
    --customize-hook="copy-in $deb /tmp" \
    --customize-hook="copy-in $PWD/check-installed.sh /tmp" \
    --customize-hook='chroot "$1" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends /tmp/'"$(basename "$deb")"' >/dev/null' \
    --customize-hook='chroot "$1" bash /tmp/check-installed.sh '"$version" \
    bookworm /dev/null
