#!/bin/sh
# Configures and builds into build/ (extra arguments are build targets). Warnings are errors
# here, as the project's developers and CI build; KVEL_WERROR=OFF turns that off.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVEL_WERROR="${KVEL_WERROR:-ON}" >/dev/null
if [ $# -gt 0 ]; then
    for t in "$@"; do cmake --build build --target "$t" -j"$(nproc)"; done
else
    cmake --build build -j"$(nproc)"
fi
