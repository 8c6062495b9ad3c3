#!/usr/bin/env bash
# The Debian package works where it is unpacked: `cpack -G DEB` of BUILD_DIR (with the data tree
# DATA_DIR) makes a package that depends on what the programs need, and the game unpacked from
# it into a temporary root plays SCRIPT headless from a working directory without data/,
# keeping its saves in a temporary home.
# Usage: deb_package_test.sh BUILD_DIR DATA_DIR SCRIPT
# Exit status 77 (a skip, with the reason printed) where the Debian packaging tools are missing.
set -euo pipefail
build=$1
data=$2
script=$3
for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (Debian packages dpkg, dpkg-dev); the package cannot be made or unpacked here"
    exit 77
  fi
done
script=$(realpath "$script")  # the game runs in a directory of its own
root=$(mktemp -d /tmp/kelvane-deb-XXXXXX)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

started=$(date +%s%N)
KELVANE_INSTALL_DATA_FROM=$data cpack --config "$build/CPackConfig.cmake" -G DEB -B "$root/out" >"$root/cpack.log" 2>&1 ||
  { cat "$root/cpack.log" >&2; echo "FAIL: cpack -G DEB failed" >&2; exit 1; }
packed=$(date +%s%N)
debs=("$root"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: cpack made no single .deb: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}

# The package's dependencies are computed from the programs' libraries, plus the font.
[ "$(dpkg-deb -f "$deb" Package)" = kelvane ] || fail "the package is not called kelvane"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-liberation libsdl2 libavcodec libfreetype libepoxy libpng libjpeg; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

dpkg-deb -x "$deb" "$root/unpacked"
data_files=$(find "$root/unpacked/usr/share/kelvane" -type f | wc -l)
[ ! -L "$root/unpacked/usr/share/kelvane" ] && [ "$data_files" -eq "$(find -L "$data" -type f ! -name .complete | wc -l)" ] ||
  fail "the package holds $data_files files of the data tree $data"
mkdir -p "$root/work/data" "$root/home"
echo "the player's own notes" >"$root/work/data/notes.txt"
# Started the way a menu starts it: from the home, whose folder called data is the player's
# own, not the game's, in a home of its own.
(cd "$root/work" &&
  env -u KELVANE_DATA_DIR -u XDG_DATA_HOME HOME="$root/home" \
      SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy KELVANE_HEADLESS=1 \
      "$root/unpacked/usr/bin/kelvane-replay" "$script") || fail "the unpacked game did not play $script"
played=$(date +%s%N)
[ -f "$root/home/.local/share/kelvane/save/save0.sav" ] || fail "no new-game slot in the home's save directory"
[ ! -e "$root/work/save" ] || fail "the game wrote save/ into its working directory"
"$root/unpacked/usr/bin/kelvane" --version || fail "the unpacked kelvane --version failed"

echo "package $(basename "$deb"): $(du -h "$deb" | cut -f1); cpack $(( (packed - started) / 1000000 )) ms," \
     "unpack and play $(( (played - packed) / 1000000 )) ms"
[ "$failures" -eq 0 ]
