#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a scratch root and runs the
# installed korvane-cli on a short voltage-loss script.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log"
deb=$(ls "$work"/out/korvane_*.deb)
info=$(dpkg-deb --info "$deb")
grep -q 'Depends:.*libqt6sql6-sqlite' <<< "$info" || { echo "Depends lacks the SQLite driver"; exit 1; }
dpkg -x "$deb" "$work/root"

for path in opt/korvane/korvane opt/korvane/korvane-cli opt/korvane/Database/JhxlDlxlss.db \
            opt/korvane/Database/Byaqi-Muxie.db "opt/korvane/A page/Software.txt" \
            usr/share/applications/korvane.desktop usr/share/icons/hicolor/256x256/apps/korvane.png; do
  [ -e "$work/root/$path" ] || { echo "missing in package: $path"; exit 1; }
done
grep -q '^Categories=.*Engineering' "$work/root/usr/share/applications/korvane.desktop"

output=$(printf '%s\n' 'select Combo3 50' 'select Combo7 0.38' 'select Combo4 0.85' \
  'set Text4 100' 'set Text5 0.5' 'click Command1' 'print Text1 Text6' |
  "$work/root/usr/bin/korvane-cli")
expected=$'Text1=0.387\nText6=8.4573'
if [ "$output" != "$expected" ]; then
  echo "unexpected output from the installed korvane-cli:"
  echo "$output"
  exit 1
fi
echo "package installs and runs: $(basename "$deb")"
