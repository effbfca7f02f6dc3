#!/usr/bin/env bash
# Installs the Debian packages the fuzz targets need, when any is missing: the packages
# Korva3 itself builds with (the targets compile its sources), clang, and clang's
# runtime libraries, which hold libFuzzer and the sanitizers. Run by hand, not by
# test.sh:
#   scripts/install-fuzz-deps.sh
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/install-deps.sh

KORVA3_PACKAGES+=(
    clang                      # clang++ of Debian's default LLVM
    libclang-rt-dev            # libclang_rt.fuzzer, .asan and .ubsan of that clang
)

korva3_install_deps
