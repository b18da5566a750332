#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it with lintian, Debian's own package
# checker: any error fails; the remaining warnings and notes are printed.
set -euo pipefail
build_dir=$1
command -v lintian > /dev/null || { echo "lintian is not installed (apt-get install lintian)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log"
deb=$(ls "$work"/out/korvane_*.deb)
status=0
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" || status=$?
[ "$status" -eq 0 ] || { echo "lintian finds errors in $(basename "$deb")"; exit 1; }
echo "lintian finds no errors in $(basename "$deb")"
