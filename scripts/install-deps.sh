#!/bin/sh
# Installs the Debian packages listed in packages.txt that are not installed yet.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
wanted=$(grep -v '^\s*#' "$here/packages.txt" | grep -v '^\s*$' | tr '\n' ' ')
missing=""
for p in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing="$missing $p" ;;
  esac
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends $missing
