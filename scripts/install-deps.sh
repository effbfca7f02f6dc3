#!/usr/bin/env bash
# Installs the Debian packages Korva3 needs to build, run and test, when any is missing.
# Sourced by run.sh and test.sh.

KORVA3_PACKAGES=(
    cmake g++ make
    qt6-base-dev qt6-serialport-dev
    libsqlite3-dev sqlite3
    pkg-config libhamlib-dev libhamlib-utils
    hamradio-files
    fonts-dejavu-core
    libx11-dev                 # the X keyboard extension: the lock keys' state on X11
    xvfb                       # an X server of its own for the lock keys' test
    libqt6svg6                 # Qt's SVG icon engine, which draws the icons at run time
    desktop-file-utils appstream shared-mime-info groff-base  # the install check's validators
    dpkg-dev                   # dpkg-shlibdeps: the Debian package's dependency list
    openssl                    # self-signed certificates for the local HTTPS fakes of the tests
    qtkeychain-qt6-dev         # the desktop's secret store for the service accounts' passwords
    poppler-utils              # pdftotext: the print test reads its PDF pages back
    lintian                    # the package check: the Debian package without an error
)

korva3_install_deps() {
    local missing=()
    local package
    for package in "${KORVA3_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
