#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a scratch root and runs the
# installed korvane-cli on a short voltage-loss script: it must find its databases in
# ../share/korvane without being told.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log"
deb=$(ls "$work"/out/korvane_*.deb)
info=$(dpkg-deb --info "$deb")
grep -q 'Depends:.*libqt6sql6-sqlite' <<< "$info" || { echo "Depends lacks the SQLite driver"; exit 1; }
grep -q 'Depends:.*qt6-translations-l10n' <<< "$info" || { echo "Depends lacks Qt's translations"; exit 1; }
# The libraries the programs link, as dpkg-shlibdeps finds them.
for library in libc6 libstdc++6 libqt6core6 libzip4; do
  grep -q "Depends:.*\b$library\b" <<< "$info" || { echo "Depends lacks $library"; exit 1; }
done
dpkg -x "$deb" "$work/root"

for path in usr/bin/korvane usr/bin/korvane-cli usr/share/korvane/Database/JhxlDlxlss.db \
            usr/share/korvane/Database/Byaqi-Muxie.db "usr/share/korvane/A page/Software.txt" \
            usr/share/applications/korvane.desktop usr/share/icons/hicolor/256x256/apps/korvane.png \
            usr/share/mime/packages/korvane.xml \
            usr/share/man/man1/korvane.1.gz usr/share/man/man1/korvane-cli.1.gz \
            usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.gz; do
  [ -f "$work/root/$path" ] || { echo "missing in package: $path"; exit 1; }
done
desktop="$work/root/usr/share/applications/korvane.desktop"
grep -q '^Categories=.*Engineering' "$desktop"
# A double-click on a calculation file opens it: the entry passes the file and names its type.
grep -qx 'Exec=korvane %f' "$desktop" || { echo "the desktop entry does not pass the file"; exit 1; }
grep -qx 'MimeType=application/x-korvane;' "$desktop" || { echo "the desktop entry names no MIME type"; exit 1; }
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$desktop"
else
  echo "desktop-file-validate is not installed: the desktop entry is not validated"
fi
# The MIME type, built into a scratch database as the package's trigger builds the system one.
mkdir -p "$work/mime/packages"
cp "$work/root/usr/share/mime/packages/korvane.xml" "$work/mime/packages/"
command -v update-mime-database > /dev/null || { echo "update-mime-database is not installed (apt-get install shared-mime-info)"; exit 1; }
XDG_DATA_HOME="$work" XDG_DATA_DIRS="$work" update-mime-database "$work/mime"
grep -qx 'application/x-korvane:\*\.korvane' "$work/mime/globs" ||
  { echo "the MIME database has no glob *.korvane for application/x-korvane"; cat "$work/mime/globs"; exit 1; }
grep -qx 'application/x-korvane' "$work/mime/types" || { echo "application/x-korvane is not a type"; exit 1; }

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
