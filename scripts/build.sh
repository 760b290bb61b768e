#!/bin/sh
# Configures and builds into build/ (extra arguments are build targets). Warnings are errors
# here, as the project's developers and CI build; KVEL_WERROR=OFF turns that off.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVEL_WERROR="${KVEL_WERROR:-ON}" >/dev/null
# All named targets in one build, so that their parts are built in parallel and only once.
[ $# -gt 0 ] && set -- --target "$@"
cmake --build build -j"$(nproc)" "$@"
