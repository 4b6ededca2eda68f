# Shared helpers for the tools/*.sh scripts (sourced, not run).
TESSARO_ROOT=${TESSARO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
# Progress lines carry the seconds since the first script of the run started.
export TESSARO_T0=${TESSARO_T0:-$(date +%s)}
step() { printf '\033[1m==> [%4ds] %s\033[0m\n' "$(( $(date +%s) - TESSARO_T0 ))" "$*"; }
# What a machine keeps for every clone and worktree of the project on it: the
# dependency sources, their compiled libraries and the wine prefixes as first
# made (tools/setup.sh copies them into a clone). Each entry is named by what
# it was made from, so a changed recipe makes a new one; readers and writers
# take the folder's lock. Empty when the folder cannot be written (no root):
# then every clone makes its own in build/.
machine_cache() {
  local dir=${TESSARO_CACHE_DIR:-/var/cache/tessaro}
  if mkdir -p "$dir" 2>/dev/null && [ -w "$dir" ]; then echo "$dir"; fi
}
# with_cache_lock NAME COMMAND...: runs COMMAND (a function too) in a subshell
# that holds the lock NAME of the machine cache (of the clone's build/ when
# there is none), so that two clones never make the same entry at once.
with_cache_lock() {
  local lock
  lock=$(machine_cache); lock=${lock:-$TESSARO_ROOT/build}/.$1.lock; shift
  mkdir -p "$(dirname "$lock")"
  ( flock 9; "$@" ) 9>"$lock"
}
# Where the dependency sources, the SQLite amalgamation and the compiled
# dependency libraries are kept between builds.
deps_dir() {
  local cache
  if [ -n "${TESSARO_DEPS_DIR:-}" ]; then echo "$TESSARO_DEPS_DIR"; return; fi
  cache=$(machine_cache)
  if [ -n "$cache" ]; then echo "$cache/deps"; else echo "$TESSARO_ROOT/build/deps"; fi
}
wine64_prefix() { echo "${TESSARO_WINEPREFIX64:-$TESSARO_ROOT/build/wine64}"; }
wine32_prefix() { echo "${TESSARO_WINEPREFIX32:-$TESSARO_ROOT/build/wine32}"; }
# The fonts wine is shown in every run of the project (tools/setup.sh makes the
# folder): exported as FONTCONFIG_FILE wherever wine runs.
wine_fonts_conf() { echo "${TESSARO_WINE_FONTS:-$TESSARO_ROOT/build/wine-fonts}/fonts.conf"; }

# The EXIT trap of ensure_display: stops wine's processes first, so none of
# them reports the lost display, then the X server. It never changes the
# script's status (under `set -e` a failing command in an EXIT trap would end
# the script with that command's status).
stop_display_and_wine() {
  local status=$?
  if [ -n "${WINEPREFIX:-}" ]; then /usr/lib/wine/wineserver64 -k >/dev/null 2>&1 || true; fi
  kill "$TESSARO_XVFB_PID" >/dev/null 2>&1 || true
  return $status
}

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
  trap 'stop_display_and_wine' EXIT
}
