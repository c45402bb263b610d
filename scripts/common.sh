# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/run and scripts/test: install what is missing, then configure and build.
# Sourced, not run.

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$TOP/build}
# help2man writes the manual page; man-db checks it in the install test; dpkg-dev's
# dpkg-buildflags gives the distribution build's flags.
PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev libsqlite3-dev sqlite3 fonts-dejavu-core
    desktop-file-utils appstream help2man man-db dpkg-dev)

# install_missing_packages [--no-install-recommends] PACKAGE...
install_missing_packages() {
    local missing=() package apt_options=()
    if [ "${1:-}" = --no-install-recommends ]; then
        apt_options=("$1")
        shift
    fi
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
            sudo=(sudo)
        else
            echo "Missing Debian packages: ${missing[*]}" >&2
            echo "Install them as root: apt-get install ${missing[*]}" >&2
            exit 1
        fi
    fi
    echo "Installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${apt_options[@]}" \
        "${missing[@]}" >/dev/null
}

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S "$TOP" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j2
}
