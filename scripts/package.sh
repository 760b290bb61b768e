#!/bin/sh
# Builds the three programs, their manual pages and the Debian package of them:
# build/kvelview_VERSION_ARCH.deb.
# Install it with: sudo apt install ./build/kvelview_*.deb
set -e
cd "$(dirname "$0")/.."
KVEL_WERROR=OFF scripts/build.sh kvelview kvelctl kvel-sim kvel_documents
cd build
cpack -G DEB
