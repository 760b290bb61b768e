#!/bin/sh
# The poll cycle against the simulator with random faults for POLLS polls (default 10000):
# nothing may crash or hang, every shown and logged value must be one the simulator served,
# the log gets one whole line per good poll, open files and memory stay flat.
#   scripts/soak.sh [POLLS]
set -e
cd "$(dirname "$0")/.."
scripts/build.sh test_poll_faults
KVEL_SOAK_POLLS="${1:-10000}" build/tests/core/test_poll_faults --gtest_filter='*Soak*'
