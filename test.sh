#!/usr/bin/env bash
# Installs what is missing, builds Korva3 and runs the whole suite through CTest, first in
# a normal build, then in a build with the address and undefined-behaviour sanitizers.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
korva3_install_deps

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc 2>/dev/null || echo 2)

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVA3_WERROR=ON "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== Normal build =="
run_suite build

echo "== Sanitizer build (address, undefined behaviour) =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-asan -DKORVA3_SANITIZE=ON
