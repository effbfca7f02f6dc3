#!/usr/bin/env bash
# Installs what is missing, builds Korva3 and starts it in the station folder
# (KORVA3_HOME, default ~/Korva3). The first start there makes the program database
# korva3.sqlite3 from the base-tables script and Debian's country file.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
korva3_install_deps

build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"
build=$(cd "$build" && pwd)

home=${KORVA3_HOME:-$HOME/Korva3}
mkdir -p "$home"
cd "$home"
if [ ! -f korva3.sqlite3 ]; then
    echo "Making the program database in $home"
    cp /usr/share/hamradio-files/cty.csv cty.csv
    "$build/src/refdata/Korva3RefData" --basic
    "$build/src/refdata/Korva3RefData" --cty
    # A repeated key in the country file fails alone; the script goes on.
    sqlite3 korva3.sqlite3 < korva3.sql
    sqlite3 korva3.sqlite3 < cty.sql 2>/dev/null || true
fi

if [ -x "$build/src/app/Korva3" ]; then
    exec "$build/src/app/Korva3" "$@"
fi
echo "Built korva3-cli and Korva3RefData; the program database is ready in $home."
echo "The Korva3 window program is not part of this build yet. Try:"
echo "  $build/src/cli/korva3-cli -C \"$home\" new mylog.sqlite3"
