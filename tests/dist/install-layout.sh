#!/usr/bin/env bash
# The layout of an install (cmake --install BUILD --prefix P), each file where the desktop looks
# for it, and the desktop entry, the metadata and the manual pages as their own checkers see them.
#
#   install-layout.sh BUILD_FOLDER
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; rm -f "$prefix.log"; fail "the install failed"; }
rm -f "$prefix.log"

expected=(
  bin/velmorax bin/moondata
  share/applications/velmorax.desktop
  share/metainfo/org.example.velmorax.Velmorax.metainfo.xml
  share/man/man1/velmorax.1 share/man/man1/moondata.1
  share/velmorax/help/index.html share/velmorax/help/pictures/icon.png
  share/velmorax/help/pictures/year.png share/velmorax/help/pictures/clock.png
  share/velmorax/help/pictures/marks.png share/velmorax/help/moon/moon16.png
  share/doc/velmorax/copyright
)
for size in 16 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/velmorax.png")
done
for f in "${expected[@]}"; do
  [ -f "$prefix/$f" ] || fail "missing: $f"
done
[ -x "$prefix/bin/velmorax" ] && [ -x "$prefix/bin/moondata" ] || fail "the programs are not executable"

# Each icon is the size its folder names.
for size in 16 32 48 64 128 256; do
  got=$(file -b "$prefix/share/icons/hicolor/${size}x${size}/apps/velmorax.png" | grep -o '[0-9]* x [0-9]*')
  [ "$got" = "$size x $size" ] || fail "the ${size}x${size} icon is $got"
done

# Every picture the help page shows is installed beside it.
help=$prefix/share/velmorax/help
for src in $(grep -o 'src="[^"]*"' "$help/index.html" | sed 's/^src="//; s/"$//' | sort -u); do
  [ -f "$help/$src" ] || fail "the help page shows $src, which is not installed"
done
# Every link inside the page leads to an anchor of it.
for anchor in $(grep -o 'href="#[^"]*"' "$help/index.html" | sed 's/^href="#//; s/"$//' | sort -u); do
  grep -q "id=\"$anchor\"" "$help/index.html" || fail "the help page links to #$anchor, which it lacks"
done

desktop-file-validate "$prefix/share/applications/velmorax.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.velmorax.Velmorax.metainfo.xml" ||
  fail "appstreamcli validate"
for page in velmorax moondata; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -l "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done

# The menu entry starts the installed program by name, from the PATH.
grep -q 'Exec=velmorax$' "$prefix/share/applications/velmorax.desktop" || fail "the desktop entry does not start velmorax"
echo "ok"
