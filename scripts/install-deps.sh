#!/usr/bin/env bash
# Installs what building and testing VexnorScript needs, only what is
# missing: Debian packages with apt-get (as root), then the npm packages of
# web/ (the charting library of the visualization pages and the browser
# driver of their test). Quiet when everything is there. With the argument
# "fuzz" also what the fuzz target needs (clang and its libFuzzer runtime).
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
need_command() {  # command package
  command -v "$1" >/dev/null 2>&1 || missing+=("$2")
}
need_file() {  # file package
  [ -e "$1" ] || missing+=("$2")
}

need_command cmake cmake
need_command g++ g++
need_command make make
need_file /usr/include/gtest/gtest.h libgtest-dev
need_file /usr/include/iconv.h libc6-dev
# Compiling and running the generated Fortran in the tests.
need_command gfortran gfortran
need_command mpirun openmpi-bin
need_command mpif90 libopenmpi-dev
# The visualization pages: their charting library comes from npm, and a
# test opens them in Debian's Chromium.
need_command node nodejs
need_command npm npm
need_file /usr/bin/chromium chromium
if [ "${1:-}" = fuzz ]; then
  need_command clang++ clang
  compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null ||
    missing+=(libclang-rt-dev)
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null 2>&1; then
    echo "Please install these Debian packages first: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# npm ci again only when the lock file changed since the last install.
stamp=web/node_modules/.installed-package-lock.json
if ! cmp -s web/package-lock.json "$stamp"; then
  echo "Installing the npm packages of web/"
  (cd web && npm ci --no-audit --no-fund --loglevel=error)
  cp web/package-lock.json "$stamp"
fi
