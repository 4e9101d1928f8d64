#!/usr/bin/env bash
# Installs from Debian's packages what the named parts of the work need, and
# nothing that is already there. Usage: scripts/setup.sh PART...
#   build    compilers and CMake
#   linux    libraries of the Linux program (Qt 6, libcurl) and a CJK font
#   test     test, benchmark and fuzzing tools, loopback servers, Xvfb tools
#   windows  the 32-bit MinGW cross compiler, GoogleTest sources, Wine and a CJK font
set -euo pipefail

packages_of() {
    case "$1" in
        build) echo cmake make g++ pkg-config ;;
        linux) echo qt6-base-dev libgl-dev libfontconfig-dev libxcb1-dev libcurl4-openssl-dev ca-certificates \
                    fonts-wqy-microhei ;;
        test) echo libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev python3 openssl curl \
                   xvfb xdotool xclip openbox x11-utils imagemagick ;;
        windows) echo g++-mingw-w64-i686 binutils-mingw-w64-i686 googletest wine wine32:i386 fonts-wqy-microhei ;;
        *) echo "setup.sh: unknown part '$1'" >&2; exit 64 ;;
    esac
}

wanted=()
for part in "$@"; do
    for package in $(packages_of "$part"); do wanted+=("$package"); done
done

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "setup.sh: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
fi
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
echo "setup.sh: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
