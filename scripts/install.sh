#!/usr/bin/env bash
# Installs the Debian packages named as arguments, as root or through sudo. A package of the
# i386 architecture (name:i386) enables that architecture first.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
case " $* " in *":i386 "*) $SUDO dpkg --add-architecture i386 ;; esac
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
