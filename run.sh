#!/usr/bin/env bash
# Installs what is missing, builds Korva3 and starts it in the working folder
# (KORVA3_HOME, default ~/Korva3). The first start there makes the program database
# korva3.sqlite3 from the generator's three scripts and opens a demo logbook; later
# starts reopen the logbook used last.
set -euo pipefail
cd "$(dirname "$0")"
project=$(pwd)
source scripts/install-deps.sh
korva3_install_deps

build="$project/build-release"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only the three programs: the tests are test.sh's business.
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target Korva3 Korva3RefData korva3-cli
refdata="$build/src/refdata/Korva3RefData"
cli="$build/src/cli/korva3-cli"

home=${KORVA3_HOME:-$HOME/Korva3}
mkdir -p "$home"
cd "$home"
arguments=("$@")
# A program database that is missing, or is no program database (an empty file, a file
# another program left), is made anew; a damaged one is kept aside, not deleted.
valid_program_database() {
    [ -f korva3.sqlite3 ] && [ "$(sqlite3 -readonly korva3.sqlite3 \
        "SELECT (SELECT COUNT(*) FROM PARAMETERS) > 0 AND (SELECT COUNT(*) FROM COUNTRIES) > 0" 2>/dev/null)" = 1 ]
}
if ! valid_program_database; then
    if [ -e korva3.sqlite3 ]; then
        mv -f korva3.sqlite3 korva3.sqlite3.invalid
        echo "korva3.sqlite3 is no program database; kept as korva3.sqlite3.invalid"
    fi
    echo "Making the program database in $home"
    cp /usr/share/hamradio-files/cty.csv cty.csv
    cp "$project/data/qslmgr.txt" qslmgr.txt
    "$refdata" --basic
    "$refdata" --cty
    "$refdata" --qslmgr
    sqlite3 korva3.sqlite3 < korva3.sql
    # A key the country file repeats fails alone and the script goes on.
    sqlite3 korva3.sqlite3 < cty.sql 2>/dev/null || true
    sqlite3 korva3.sqlite3 < qslmgr.sql
    if [ ${#arguments[@]} -eq 0 ] && [ ! -e demo.sqlite3 ]; then
        "$cli" new demo.sqlite3
        "$cli" import demo.sqlite3 "$project/data/demo.adi" || true
        "$cli" rebuild demo.sqlite3 >/dev/null
        arguments=("$home/demo.sqlite3")
    fi
fi

exec "$build/src/app/Korva3" "${arguments[@]}"
