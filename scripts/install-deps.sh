#!/usr/bin/env bash
# Installs what building and testing VexnorScript needs, only what is
# missing, with apt-get (Debian, as root).
set -euo pipefail

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

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null 2>&1; then
  echo "Please install these Debian packages first: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
