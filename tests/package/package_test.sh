#!/usr/bin/env bash
# Builds the Debian package, checks what it holds and depends on, has Debian's own checker
# (lintian) look it over, validates its desktop entry and AppStream file, unpacks it into a
# scratch root and starts the installed program under Xvfb. Leaves a screenshot of it behind.
#
#   package_test.sh BUILD_DIR SCREENSHOT.png
set -u
build=$1
screenshot=$2
work=$(mktemp -d)
source "$(dirname "$0")/../support/checks.sh"

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1)
deb=$(ls "$work"/out/sorvane_*_*.deb 2>/dev/null | head -1)
check "package built" yes "$([ -f "$deb" ] && echo yes)"
[ -f "$deb" ] || { cat "$work/cpack.log"; finish; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6svg6 libc6 libstdc++6; do
    check "depends on $lib" yes "$(grep -q "$lib" <<<"$depends" && echo yes)"
done

# Debian's package checker: no errors and no warnings.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1
check "lintian: no errors or warnings" 0 $?
grep -v 'root privileges' "$work/lintian.log"

root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/sorvane usr/bin/sorvane-compare usr/share/man/man1/sorvane-compare.1.gz \
         usr/share/applications/org.sorvane.Sorvane.desktop \
         usr/share/metainfo/org.sorvane.Sorvane.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/org.sorvane.Sorvane.svg \
         usr/share/man/man1/sorvane.1.gz usr/share/doc/sorvane/copyright \
         usr/share/doc/sorvane/changelog.gz usr/share/doc/sorvane/README.md; do
    check "installs $f" yes "$([ -s "$root/$f" ] && echo yes)"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/org.sorvane.Sorvane.png
    check "icon ${size}x${size}" "${size}x${size}" "$(identify -format '%wx%h' "$png" 2>/dev/null)"
done

desktop-file-validate "$root/usr/share/applications/org.sorvane.Sorvane.desktop" >"$work/desktop.log" 2>&1
check "desktop-file-validate" 0 $?
appstreamcli validate --no-net "$root/usr/share/metainfo/org.sorvane.Sorvane.metainfo.xml" \
    >"$work/appstream.log" 2>&1
check "appstreamcli validate" 0 $?
cat "$work/desktop.log" "$work/appstream.log"

# The installed command compares, and its manual page reads without a warning.
printf 'a\tx\r\nb\ty\r\n' >"$work/one.tsv"
printf 'b\n' >"$work/two.tsv"
check "installed sorvane-compare compares" "1 pairs; 1 records of List 1 and 0 of List 2 without a partner" \
    "$(LC_ALL=C "$root/usr/bin/sorvane-compare" -c 1:1 -o "$work/results" "$work/one.tsv" "$work/two.tsv")"
check "its manual page" "" "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/sorvane-compare.1.gz" 2>&1 >/dev/null)"

# The installed program starts and shows its window.
trap 'kill "${app:-}" "${xvfb_pid:-}" 2>/dev/null; rm -rf "$work" "${xvfb_log:-}"' EXIT
start_xvfb 1400 900 || { finish; exit 1; }
"$root/usr/bin/sorvane" >"$work/app.log" 2>&1 &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Sorvane$' | head -1)
check "installed program shows its window" yes "$([ -n "$window" ] && echo yes)"
sleep 0.5
import -window root "$screenshot"

finish
