# Shared helpers for the tools/*.sh scripts (sourced, not run).
TESSARO_ROOT=${TESSARO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
step() { printf '\033[1m==> %s\033[0m\n' "$*"; }
# Where the dependency sources and the SQLite amalgamation are kept between builds.
deps_dir() { echo "${TESSARO_DEPS_DIR:-$TESSARO_ROOT/build/deps}"; }
wine64_prefix() { echo "${TESSARO_WINEPREFIX64:-$TESSARO_ROOT/build/wine64}"; }
wine32_prefix() { echo "${TESSARO_WINEPREFIX32:-$TESSARO_ROOT/build/wine32}"; }

# Starts a private X server for wine's windows unless DISPLAY is already set;
# it is stopped when the calling script exits.
ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  TESSARO_XVFB_PID=$!
  local number
  read -r number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$number"
  # Stop wine's processes first, so none of them reports the lost display.
  trap '[ -n "${WINEPREFIX:-}" ] && /usr/lib/wine/wineserver64 -k 2>/dev/null; kill $TESSARO_XVFB_PID 2>/dev/null || true' EXIT
}
