#!/usr/bin/env bash
# Installs what is missing, builds Korva3 and starts it as the desktop's menu does, with
# --home: in the folder KORVA3_HOME names, else in ~/.local/share/Korva3. The first start
# there makes the program database korva3.sqlite3 itself; this script adds a demo logbook
# for it to open. Later starts reopen the logbook used last. A logbook or ADIF file given
# as argument is handed to Korva3.
set -euo pipefail
caller=$(pwd)
cd "$(dirname "$0")"
project=$(pwd)
source scripts/install-deps.sh
korva3_install_deps

build="$project/build-release"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only the programs: the tests are test.sh's business.
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target Korva3 korva3-cli
cli="$build/src/cli/korva3-cli"

# The folder Korva3 --home works in, by the program's own rule.
data_home=${XDG_DATA_HOME:-}
[[ $data_home == /* ]] || data_home=$HOME/.local/share
home=${KORVA3_HOME:-$data_home/Korva3}
arguments=("$@")
if [ ${#arguments[@]} -eq 0 ] && [ ! -e "$home/korva3.sqlite3" ] && [ ! -e "$home/demo.sqlite3" ]; then
    mkdir -p "$home"
    "$cli" new "$home/demo.sqlite3"
    "$cli" import "$home/demo.sqlite3" "$project/data/demo.adi"
    "$cli" rebuild "$home/demo.sqlite3"
    arguments=("$home/demo.sqlite3")
fi

# Relative paths among the arguments are the caller's.
cd "$caller"
exec "$build/src/app/Korva3" --home "${arguments[@]}"
