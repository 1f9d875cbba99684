# Installs: what ./run needs from Debian's packages, installed with apt-get where missing
# (a fresh Debian 12 machine, as root). Sourced by ./run.
#
#   ensure_packages   the compilers, CMake, Wine, Xvfb, fonts, … (every command)
#   ensure_wine32     the emulator and the 32-bit Wine, for the 32-bit runs (./run test)

PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format clang-tidy python3 googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xdotool imagemagick fonts-wqy-zenhei locales x11-utils unzip)

installed() { # package
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Installs the packages given, after refreshing the package lists.
install_packages() { # package...
  [ $# -gt 0 ] || return 0
  log "installing: $*"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

ensure_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do installed "$p" || missing+=("$p"); done
  install_packages "${missing[@]}"
  ensure_locales
}

# qemu-user-static runs the 32-bit Linux code of wine32:i386 (see register_qemu_i386 in
# tools/run/wine.sh for why and how).
ensure_wine32() {
  local missing=()
  installed qemu-user-static || missing+=(qemu-user-static)
  if ! installed wine32:i386; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    missing+=(wine32:i386)
  fi
  install_packages "${missing[@]}"
  register_qemu_i386
}
