# Debian packages Korvane needs to build, run and test. Sourced by the other scripts.
KORVANE_PACKAGES=(
  build-essential cmake pkgconf
  qt6-base-dev qt6-qpa-plugins libqt6sql6-sqlite qt6-translations-l10n
  libzip-dev libxlsxwriter-dev sqlite3 python3-docx python3-openpyxl python3-ezdxf poppler-utils
  libgtest-dev libbenchmark-dev
  fonts-wqy-microhei fonts-dejavu-core python3-fonttools
  xvfb xauth
  locales
  dpkg-dev lintian shared-mime-info desktop-file-utils
)

# Installs whatever of KORVANE_PACKAGES is missing (as root, or through sudo).
korvane_install_packages() {
  local missing=()
  local p
  for p in "${KORVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# korvane_build DIR [cmake options...]: configures and builds into DIR with two jobs.
korvane_build() {
  local dir=$1
  shift
  local launcher=()
  # Rebuilds of the three configurations share their compilations where ccache is installed.
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$KORVANE_ROOT" -B "$dir" "${launcher[@]}" "$@"
  cmake --build "$dir" -j2
}
