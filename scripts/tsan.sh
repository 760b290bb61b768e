#!/bin/sh
# The tests that run the link thread beside the windows (polls, module dialogs, cabinet
# control, the monitoring session and kvelctl on it, the job queue itself, the log viewer's reading thread), built with ThreadSanitizer into build-tsan/. Any report
# fails the run. Qt itself is not instrumented: its own locks are told to the sanitizer by
# scripts/tsan.supp.
set -e
cd "$(dirname "$0")/.."
targets="test_link_thread test_poll_cycle test_monitor_session test_module_dialogs test_host_window test_main_window test_request_sequences test_line_scan test_scan_dialog test_log_viewer test_ctl"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVEL_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
# shellcheck disable=SC2086
cmake --build build-tsan -j"$(nproc)" --target $targets
export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp"
for t in $targets; do
    binary=$(find build-tsan/tests -name "$t" -type f -perm -u+x | head -n 1)
    echo "tsan: $t"
    "$binary" --gtest_brief=1
done
echo "tsan: no report"
