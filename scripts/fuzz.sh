#!/bin/sh
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for SECONDS (default 600) from its seeds in fuzz/corpus/; what a
# run adds to the corpus stays in build-fuzz/corpus/. A crash ends the script with status 1
# and leaves its input as build-fuzz/TARGET-crash-*.
#   scripts/fuzz.sh [SECONDS]
set -e
cd "$(dirname "$0")/.."
EACH="${1:-600}"
if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is not installed (apt-get install clang)" >&2
    exit 2
fi
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKVEL_FUZZ=ON -DKVEL_TESTS=OFF -DKVEL_BENCH=OFF >/dev/null
TARGETS="fuzz_replies fuzz_mem_ini"
cmake --build build-fuzz --target $TARGETS -j"$(nproc)" >/dev/null
for t in $TARGETS; do
    mkdir -p "build-fuzz/corpus/$t"
    if ! "build-fuzz/fuzz/$t" -max_total_time="$EACH" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/$t-" "build-fuzz/corpus/$t" "fuzz/corpus/$t" \
        > "build-fuzz/$t.log" 2>&1; then
        tail -n 60 "build-fuzz/$t.log" >&2
        echo "fuzz.sh: $t found a fault; its input is build-fuzz/$t-*" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/$t.log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "build-fuzz/$t.log")
    echo "$t: $runs inputs in $EACH s, $rate per second, no fault"
done
