#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Safe to run again.
set -euo pipefail
pkgs=(build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      libssl-dev openssl nettle-dev zlib1g-dev libpcre2-dev
      libjpeg62-turbo-dev libpng-dev libgif-dev
      python3 python3-pycryptodome python3-pil python3-aiosmtpd python3-pyftpdlib
      gzip macutils sharutils socat gcovr
      nginx apache2-utils
      bash-completion chromium chromium-driver python3-selenium
      debhelper lintian libjpeg-dev)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
