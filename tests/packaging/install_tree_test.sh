#!/usr/bin/env bash
# The installed game is complete: `cmake --install` of BUILD_DIR into a temporary prefix (with
# the data tree DATA_DIR) puts every file in place, the menu entry and the software-centre
# metadata pass their validators, the icons have their sizes and every program answers --help.
# Usage: install_tree_test.sh BUILD_DIR DATA_DIR
set -euo pipefail
build=$1
data=$2
root=$(mktemp -d /tmp/kelvane-install-XXXXXX)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
id=org.kelvane.Kelvane
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing; run scripts/install-deps" >&2; exit 1; }
done

KELVANE_INSTALL_DATA_FROM=$data cmake --install "$build" --prefix "$prefix" >"$root/install.log" ||
  { cat "$root/install.log" >&2; echo "FAIL: cmake --install failed" >&2; exit 1; }

# Every file the installation promises.
for program in kelvane kelvane-enc kelvane-check kelvane-replay kelvane-data; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
for file in share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/man/man6/kelvane.6 \
            share/icons/hicolor/scalable/apps/$id.svg; do
  [ -s "$prefix/$file" ] || fail "$file is not installed"
done

# Each PNG icon is a PNG of its directory's size.
for size in 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
  if [ ! -s "$png" ]; then fail "the ${size} px icon is not installed"; continue; fi
  read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(( (w0 << 24) | (w1 << 16) | (w2 << 8) | w3 ))
  height=$(( (h0 << 24) | (h1 << 16) | (h2 << 8) | h3 ))
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is ${width}x${height}, not ${size}x${size}"
done

# The whole data tree, file for file (the generator's completion mark stays behind), copied
# even when the tree was named through a link.
[ -d "$prefix/share/kelvane" ] && [ ! -L "$prefix/share/kelvane" ] || fail "share/kelvane is not a directory of its own"
expected=$(cd "$data" && find . -type f ! -name .complete | sort)
installed=$(cd "$prefix/share/kelvane" && find . -type f | sort)
[ -n "$expected" ] || fail "the data tree $data is empty"
[ "$expected" = "$installed" ] || fail "share/kelvane differs from $data: $(diff <(echo "$expected") <(echo "$installed") | head -5)"

[ -f "$prefix/share/kelvane/kelvane-data.txt" ] || fail "share/kelvane lacks kelvane-data.txt, the mark of the game's data"
# The world and its texts, which the game reads at start-up, are part of the data.
for file in world/main.lua po/kelvane.pot po/qps.po; do
  [ -s "$prefix/share/kelvane/$file" ] || fail "share/kelvane lacks $file, part of the game's world and texts"
done

# The menu entry starts an installed program with an installed icon; the metadata launches it.
desktop=$prefix/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli rejects $id.metainfo.xml"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$prefix/bin/$exec_name" ] || fail "the menu entry starts '$exec_name', which is not installed"
[ "$icon_name" = "$id" ] || fail "the menu entry's icon '$icon_name' is not the installed $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata does not launch $id.desktop"
if command -v groff >/dev/null; then
  warnings=$(groff -man -ww -z "$prefix/share/man/man6/kelvane.6" 2>&1)
  [ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
fi

# Every program explains itself; the game says its version.
for program in kelvane kelvane-enc kelvane-check kelvane-replay kelvane-data; do
  out=$("$prefix/bin/$program" --help) || fail "$program --help exits with $?"
  grep -q "usage: *" <<<"$out" || fail "$program --help prints no usage"
done
version=$("$prefix/bin/kelvane" --version) || fail "kelvane --version failed"
grep -Eq '^kelvane [0-9]+\.[0-9]+\.[0-9]+' <<<"$version" || fail "kelvane --version printed '$version'"

# A tree the generator did not finish is refused, with the reason.
mkdir "$root/unfinished"
if KELVANE_INSTALL_DATA_FROM=$root/unfinished cmake --install "$build" --prefix "$root/refused" >"$root/refused.log" 2>&1; then
  fail "an unfinished data tree was installed"
elif ! tr -s ' \n' '  ' <"$root/refused.log" | grep -q "not a complete data tree"; then  # CMake wraps lines
  fail "installing an unfinished data tree failed without saying why: $(tail -3 "$root/refused.log")"
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures problems in the installed tree" >&2
  exit 1
fi
echo "installed tree complete: $(du -sh "$prefix" | cut -f1) in $prefix"
