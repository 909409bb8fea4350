#!/usr/bin/env bash
# Installs the Debian packages Flumbadoo needs to build, run and test, if any are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libsfml-dev nlohmann-json3-dev libgtest-dev
    # The composer and the soundtrack tests measure loudness (EBU R 128) with it.
    libebur128-dev
    fonts-leckerli-one
    xvfb xauth xdotool libgl1-mesa-dri python3
    # The capture tool's video export pipes frames to ffmpeg; its bench plot uses gnuplot.
    ffmpeg gnuplot-nox
    # The reliability steps build the data-file fuzzer with clang and its libFuzzer.
    clang libclang-rt-14-dev
    # scripts/coverage.sh reports line and branch coverage with it.
    gcovr
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
