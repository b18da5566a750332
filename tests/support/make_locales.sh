#!/bin/sh
# make_locales.sh DIR LOCALE...: compiles the C library's data of each locale (de_DE, zh_CN, in
# UTF-8) into DIR, for tests that run with LOCPATH=DIR. Needs no root, only localedef and the
# locale sources of Debian's `locales` package.
set -eu
dir=$1
shift
mkdir -p "$dir"
for name in "$@"; do
  [ -f "$dir/$name.UTF-8/LC_NUMERIC" ] && continue
  # localedef may end with a non-zero status on mere warnings; the written data decides.
  localedef -i "$name" -f UTF-8 "$dir/$name.UTF-8" >"$dir/$name.log" 2>&1 || true
  if [ ! -f "$dir/$name.UTF-8/LC_NUMERIC" ]; then
    cat "$dir/$name.log" >&2
    echo "cannot compile locale $name.UTF-8 (is the locales package installed?)" >&2
    exit 1
  fi
done
