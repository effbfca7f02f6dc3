#!/usr/bin/env bash
# Makes the Debian package as the README says (cpack -G DEB) into a temporary folder and
# runs lintian on it: any error fails; warnings and notes are shown.
# Usage: check-package.sh BUILD_DIR MAINTAINER_NAMED
# MAINTAINER_NAMED is 0 when no DEBEMAIL or EMAIL named the maintainer at configure time:
# the package then names this machine's user, whose address lintian rightly doubts (root,
# a host without a domain), and those tags alone are not counted.
set -uo pipefail
build=$1
named=${2:-1}

if ! command -v lintian >/dev/null; then
    echo "lintian is not installed (scripts/install-deps.sh installs it)"
    exit 77
fi

out=$(mktemp -d "${TMPDIR:-/tmp}/korva3-package.XXXXXX")
trap 'rm -rf "$out"' EXIT

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
package=$(ls "$out"/korva3_*.deb 2>/dev/null | head -n 1)
if [ -z "$package" ]; then
    echo "FAIL: cpack made no korva3_*.deb"
    exit 1
fi

# lintian's own exit code also counts warnings under some profiles: its tags decide.
suppress=()
if [ "$named" = 0 ]; then
    echo "No DEBEMAIL or EMAIL when configured: the maintainer's address is not checked"
    suppress=(--suppress-tags bogus-mail-host,bogus-mail-host-in-debian-changelog,root-in-contact)
fi
report=$(lintian --tag-display-limit 0 "${suppress[@]}" "$package" 2>&1)
printf '%s\n' "$report"
errors=$(grep -c '^E: ' <<<"$report")
if [ "$errors" -ne 0 ]; then
    echo "FAIL: lintian reports $errors error(s) in $(basename "$package")"
    exit 1
fi
echo "lintian: no error in $(basename "$package")"
