#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the finder need, if missing.
# Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  xvfb xauth xdotool xclip x11-utils imagemagick xdg-utils fonts-dejavu-core
  libpugixml-dev librapidxml-dev
  iproute2 libcap2-bin procps psmisc
  python3 dpkg-dev desktop-file-utils
  prometheus prometheus-node-exporter curl systemd
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
