#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building and testing Tessaro,
# and fetches the dependency sources. Safe to run again: every step checks first.
#
#   tools/setup.sh            everything (native, both Windows targets, wine64, wine32)
#   TESSARO_NO_WINE32=1 ...   skip the 32-bit wine (qemu-i386) part
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/tools/lib.sh"

need_root() { [ "$(id -u)" = 0 ] || { echo "setup: must run as root to install packages" >&2; exit 1; }; }

apt_updated=0
apt_update() { [ $apt_updated = 1 ] || { step "apt-get update"; apt-get update -qq; apt_updated=1; }; }
apt_install() {
  local missing=()
  for p in "$@"; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p"); done
  [ ${#missing[@]} = 0 ] && return 0
  need_root; apt_update
  step "installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# --- native tool chain and test libraries
apt_install build-essential cmake ninja-build tcl googletest libgtest-dev libbenchmark-dev \
            python3 xz-utils dpkg-dev clang libclang-rt-14-dev valgrind libcairo2-dev \
            fonts-dejavu-core fonts-liberation2
# --- Windows tool chains, wine64, X server for window tests
apt_install g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-i686-dev mingw-w64-x86-64-dev \
            wine wine64 xvfb x11-apps imagemagick

# --- 32-bit wine through qemu-i386 (the kernel here cannot run i386 code itself)
if [ "${TESSARO_NO_WINE32:-0}" != 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then need_root; dpkg --add-architecture i386; apt_updated=0; fi
  apt_install wine32:i386 qemu-user
  [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
  if [ -e /proc/sys/fs/binfmt_misc/register ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:' \
      > /proc/sys/fs/binfmt_misc/register 2>/dev/null || echo "setup: the kernel refused the qemu-i386 registration; 32-bit runs will be skipped" >&2
  fi
fi

# --- dependency sources from Debian's source packages (in the machine's cache
# when there is one, so every clone of the project shares them)
deps=$(deps_dir)
prepare_deps() {
  mkdir -p "$deps/src"
  missing_sources=()
  for package in sqlite3 pugixml zlib; do
    ls "$deps"/src/${package}_*.orig.tar.* "$deps"/src/${package}_*.dsc >/dev/null 2>&1 || missing_sources+=("$package/bookworm")
  done
  if [ ${#missing_sources[@]} -gt 0 ]; then
    if ! grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
      need_root
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > /etc/apt/sources.list.d/debian-src.sources
      apt_updated=0
    fi
    apt_update
    step "fetching the source packages ${missing_sources[*]}"
    (cd "$deps/src" && apt-get source -qq --download-only "${missing_sources[@]}" >/dev/null)
  fi

  # SQLite amalgamation (needs tclsh), made from Debian's source package with its
  # patches applied (dpkg-source runs the package's quilt series), not from the
  # upstream tarball alone. $deps/sqlite/debian-version names the package version it
  # was made from and is written last: an amalgamation without it (made from the
  # bare tarball, or cut short) or from another version is made again.
  sqlite_dsc=$(ls "$deps"/src/sqlite3_*.dsc | sort -V | tail -n 1)
  sqlite_version=$(sed -n 's/^Version: //p' "$sqlite_dsc")
  if [ ! -s "$deps/sqlite/sqlite3.c" ] || [ "$(cat "$deps/sqlite/debian-version" 2>/dev/null)" != "$sqlite_version" ]; then
    step "building the SQLite amalgamation from Debian's source $sqlite_version"
    rm -rf "$deps/sqlite-tree" "$deps/sqlite"; mkdir -p "$deps/sqlite"
    dpkg-source --no-check -x "$sqlite_dsc" "$deps/sqlite-tree" >/dev/null
    (cd "$deps/sqlite-tree" && ./configure >/dev/null && make -s sqlite3.c >/dev/null 2>&1)
    # The fix for CVE-2025-6965 (Debian's 42-CVE-2025-6965.patch) adds this error.
    if ! grep -q 'more than %d aggregate terms' "$deps/sqlite-tree/sqlite3.c"; then
      echo "setup: the SQLite amalgamation lacks Debian's fix for CVE-2025-6965" >&2; exit 1
    fi
    cp "$deps/sqlite-tree/sqlite3.c" "$deps/sqlite-tree/sqlite3.h" "$deps/sqlite/"
    cp "$deps/sqlite-tree/.pc/applied-patches" "$deps/sqlite/debian-patches"
    echo "$sqlite_version" > "$deps/sqlite/debian-version"
    rm -rf "$deps/sqlite-tree"
  fi
  step "SQLite $(sed -n 's/^#define SQLITE_VERSION  *"\(.*\)"/\1/p' "$deps/sqlite/sqlite3.h"), Debian $sqlite_version, patches applied:"
  sed 's/^/      /' "$deps/sqlite/debian-patches"

  # pugixml is compiled from its own tree.
  if [ ! -s "$deps/pugixml/src/pugixml.cpp" ]; then
    step "unpacking pugixml"
    rm -rf "$deps/pugixml"; mkdir -p "$deps/pugixml"
    tar -xf "$(ls "$deps"/src/pugixml_*.orig.tar.* | head -n 1)" -C "$deps/pugixml" --strip-components=1
  fi

  # zlib with its minizip (contrib/minizip), compiled from its own tree.
  if [ ! -s "$deps/zlib/contrib/minizip/zip.c" ]; then
    step "unpacking zlib"
    rm -rf "$deps/zlib"; mkdir -p "$deps/zlib"
    tar -xf "$(ls "$deps"/src/zlib_*.orig.tar.* | head -n 1)" -C "$deps/zlib" --strip-components=1
  fi
}
with_cache_lock deps prepare_deps

# --- the fonts wine sees: a set of the project's own, whatever the machine has
# (every test machine has the Liberation fonts too, which the word processor
# brings, and with which wine 8's text shaping crashed on long texts).
make_font_set() {  # folder
  local fonts=$1
  [ -s "$fonts/fonts.conf" ] && return 0
  step "the font set for wine ($fonts)"
  rm -rf "$fonts"; mkdir -p "$fonts"
  for face in DejaVuSans DejaVuSans-Bold DejaVuSansMono DejaVuSansMono-Bold DejaVuSerif DejaVuSerif-Bold; do
    cp "/usr/share/fonts/truetype/dejavu/$face.ttf" "$fonts/"
  done
  cat > "$fonts/fonts.conf.new" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<!-- Made by tools/setup.sh: the only system fonts wine is shown (FONTCONFIG_FILE). -->
<fontconfig>
  <dir>$fonts</dir>
  <cachedir>$fonts/cache</cachedir>
</fontconfig>
CONF
  mv "$fonts/fonts.conf.new" "$fonts/fonts.conf"
}
# A wine prefix names the font files it was made with, by path: with a machine
# cache the set lives there (named by this recipe), and build/wine-fonts is a
# link to it, so that one prefix made there serves every clone.
fonts=$(dirname "$(wine_fonts_conf)")
cache=$(machine_cache)
if [ -z "${TESSARO_WINE_FONTS:-}" ] && [ -n "$cache" ]; then
  shared="$cache/wine-fonts-$(declare -f make_font_set | sha256sum | cut -c1-12)"
  with_cache_lock fonts make_font_set "$shared"
  if [ "$(readlink "$fonts" 2>/dev/null)" != "$shared" ]; then
    rm -rf "$fonts"; mkdir -p "$(dirname "$fonts")"; ln -s "$shared" "$fonts"
  fi
else
  make_font_set "$fonts"
fi
export FONTCONFIG_FILE=$(wine_fonts_conf)

# --- wine prefixes (private to the clone)
# A prefix keeps the fonts it was first shown in its registry and loads them
# again at every start: one made before this font set (or with another, or by
# another recipe or wine) is made anew. Its stamp (.tessaro-fonts, written
# last) names all that.
prefix_settings() {  # loader: the prefix's settings for the tests
  # A crash prints its backtrace and ends the program instead of waiting for
  # somebody to answer wine's crash dialog. Windows are unmanaged from the
  # start: without a window manager wine waits up to 2 s for every window it
  # hides otherwise; the main job's screenshots then look the same whether
  # tests ran in the prefix before or not. One regedit: each process start
  # of the 32-bit wine costs about 40 s under qemu-i386.
  cat > "$WINEPREFIX/drive_c/tessaro.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
  timeout 600 "$1" regedit /S 'C:\tessaro.reg' >/dev/null 2>&1 || true
  rm -f "$WINEPREFIX/drive_c/tessaro.reg"
}
make_prefix64() {  # folder
  step "creating the 64-bit wine prefix $1"
  rm -rf "$1"
  # With 32-bit wine present, a new 64-bit prefix would also set up its 32-bit
  # half, through qemu-i386 and slowly (minutes); the tests run 64-bit programs
  # only there, so the i386 handler is switched off while the prefix is made.
  local binfmt=/proc/sys/fs/binfmt_misc/qemu-i386 paused=0
  if [ -w "$binfmt" ] && grep -qx enabled "$binfmt"; then echo 0 > "$binfmt" && paused=1; fi
  ( ensure_display
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    timeout 600 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    prefix_settings /usr/lib/wine/wine64
    /usr/lib/wine/wineserver64 -k 2>/dev/null || true ) || true
  [ $paused = 0 ] || echo 1 > "$binfmt"
}
make_prefix32() {  # folder: slowly, every program of it runs under qemu-i386
  step "creating the 32-bit wine prefix $1 (qemu-i386: minutes)"
  rm -rf "$1"
  ( ensure_display
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    timeout 1200 /usr/lib/wine/wine wineboot -i >/dev/null 2>&1 || true
    prefix_settings /usr/lib/wine/wine
    /usr/lib/wine/wineserver64 -k 2>/dev/null || true ) || true
}
fonts_stamp=$(sha256sum "$(wine_fonts_conf)" | cut -c1-16)
prefix_stamp() {  # 64|32
  local package=wine64; [ "$1" = 64 ] || package=wine32:i386
  echo "$fonts_stamp-$( (declare -f prefix_settings "make_prefix$1"; dpkg-query -W -f='${Version}' "$package") |
                        sha256sum | cut -c1-12)"
}
made_prefix() {  # 64|32 folder: makes it unless its stamp says it is made
  [ "$(cat "$2/.tessaro-fonts" 2>/dev/null)" = "$(prefix_stamp "$1")" ] && return 0
  "make_prefix$1" "$2"
  # Not stamped when wine did not make it: made again at the next set-up.
  if [ -f "$2/system.reg" ]; then prefix_stamp "$1" > "$2/.tessaro-fonts"
  else echo "setup: wine did not make the prefix $2" >&2; fi
}
# install_prefix 64|32 FOLDER: the clone's prefix; with a machine cache a copy
# of the one made there once (seconds instead of minutes for the 32-bit one).
install_prefix() {
  local stamp
  stamp=$(prefix_stamp "$1")
  [ "$(cat "$2/.tessaro-fonts" 2>/dev/null)" = "$stamp" ] && return 0
  if [ -z "$cache" ]; then made_prefix "$1" "$2"; return 0; fi
  with_cache_lock "wine$1" made_prefix "$1" "$cache/wine$1-$stamp"
  step "the wine prefix $2: a copy of $cache/wine$1-$stamp"
  rm -rf "$2" "$2.new"; mkdir -p "$(dirname "$2")"
  cp -a "$cache/wine$1-$stamp" "$2.new" && mv "$2.new" "$2"
}
install_prefix 64 "$(wine64_prefix)"
if [ "${TESSARO_NO_WINE32:-0}" != 1 ] && [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  install_prefix 32 "$(wine32_prefix)"
fi
step "set-up complete"
