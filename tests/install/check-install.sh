#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree that a desktop and a
# package rely on: the three programs, the desktop entry and the metainfo (through their
# validators), the icon, the MIME package, the manual pages, the QSL manager list, and the
# installed programs' --version.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
build=$1
source_dir=$2
version=$3
id=org.korva3.Korva3

prefix=$(mktemp -d "${TMPDIR:-/tmp}/korva3-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! cmake --install "$build" --prefix "$prefix" >/dev/null; then
    echo "FAIL: cmake --install"
    exit 1
fi

for program in Korva3 korva3-cli Korva3RefData; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing"
done

desktop="$prefix/share/applications/$id.desktop"
if [ -f "$desktop" ]; then
    # desktop-file-validate exits 0 on mere hints, so its silence is the pass.
    report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
    [ -z "$report" ] || fail "desktop-file-validate: $report"
    grep -qx 'Exec=Korva3 --home %f' "$desktop" || fail "the desktop entry does not start Korva3 --home %f"
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
else
    fail "share/applications/$id.desktop is missing"
fi

metainfo="$prefix/share/metainfo/$id.metainfo.xml"
if [ -f "$metainfo" ]; then
    report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"
    # The tree as a whole: the launchable desktop entry is found beside it.
    report=$(appstreamcli validate-tree --no-net "$prefix" 2>&1) || fail "appstreamcli validate-tree: $report"
else
    fail "share/metainfo/$id.metainfo.xml is missing"
fi

icon="$prefix/share/icons/hicolor/scalable/apps/$id.svg"
grep -q '<svg' "$icon" 2>/dev/null || fail "share/icons/hicolor/scalable/apps/$id.svg is missing or not SVG"

# The MIME package compiles, defines both types the desktop entry claims, and makes a
# *.sqlite3 name a logbook ahead of the plain SQLite type.
mime="$prefix/share/mime"
if [ -f "$mime/packages/$id.xml" ]; then
    # It reports a package it cannot read on its standard error and still exits 0.
    report=$(XDG_DATA_DIRS="$prefix/share" update-mime-database "$mime" 2>&1)
    [ -z "$report" ] || fail "update-mime-database: $report"
    for type in application/x-korva3-logbook text/x-adif; do
        [ -f "$mime/$type.xml" ] || fail "the MIME package does not define $type"
        grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not claim $type"
    done
    grep -qx '60:application/x-korva3-logbook:\*.sqlite3' "$mime/globs2" || fail "*.sqlite3 is not a logbook"
    for glob in '*.adi' '*.adif'; do
        grep -qxF "50:text/x-adif:$glob" "$mime/globs2" || fail "$glob is not an ADIF file"
    done
else
    fail "share/mime/packages/$id.xml is missing"
fi

# Each program has its page, compressed as Debian's policy asks (gzip -9n: no name, no
# time stamp in the header, whose bytes 4 to 7 are then zero), naming the home folder.
for page in Korva3.1 korva3-cli.1 Korva3RefData.1; do
    file="$prefix/share/man/man1/$page.gz"
    if [ -f "$file" ]; then
        text=$(gzip -dc "$file") || fail "$page.gz is not gzip"
        report=$(printf '%s\n' "$text" | groff -man -ww -z 2>&1)
        [ -z "$report" ] || fail "$page: $report"
        grep -q "Korva3 $version" <<<"$text" || fail "$page does not carry version $version"
        [ "$(od -An -tx1 -j3 -N5 "$file" | tr -d ' ')" = 0000000000 ] || fail "$page.gz keeps a name or a time stamp"
    else
        fail "share/man/man1/$page.gz is missing"
    fi
done
for page in Korva3.1 korva3-cli.1; do
    gzip -dc "$prefix/share/man/man1/$page.gz" 2>/dev/null | grep -q 'XDG_DATA_HOME/Korva3' \
        || fail "$page does not name the home folder"
done

cmp -s "$source_dir/data/qslmgr.txt" "$prefix/share/korva3/qslmgr.txt" || fail "share/korva3/qslmgr.txt is missing or differs"

# Korva3 answers --version before it reaches the window system: with no display to
# connect to, anything later would abort.
expect_version() {
    local program=$1
    local printed
    printed=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/$program" --version 2>&1)
    [ "$printed" = "$program $version" ] || fail "$program --version printed: $printed"
}
expect_version korva3-cli
expect_version Korva3
expect_version Korva3RefData

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) of the installed tree failed"
    exit 1
fi
echo "installed tree in order"
