# Shared helpers for the tools/*.sh scripts (sourced, not run).
TESSARO_ROOT=${TESSARO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
step() { printf '\033[1m==> %s\033[0m\n' "$*"; }
# Where the dependency sources and the SQLite amalgamation are kept between builds.
deps_dir() { echo "${TESSARO_DEPS_DIR:-$TESSARO_ROOT/build/deps}"; }
wine64_prefix() { echo "${TESSARO_WINEPREFIX64:-$TESSARO_ROOT/build/wine64}"; }
wine32_prefix() { echo "${TESSARO_WINEPREFIX32:-$TESSARO_ROOT/build/wine32}"; }
