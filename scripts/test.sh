#!/usr/bin/env bash
# Checks that every include points down the layers and that the C++ files
# are formatted, builds everything and runs every test, then the same unit,
# widget and socket tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short fixed run of each fuzz target over
# its kept corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
# Compiler cache hits for a checkout in any folder: paths relative to it,
# and the working directory left out of the hash (the debug information may
# then name another checkout's folder).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
jobs=$(nproc)
bash scripts/setup.sh
bash tools/check-layers.sh
bash tools/check-format.sh
bash scripts/build.sh
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600)

# Sanitizers: every report ends its test with a failure. The whole-program
# tests in namespaces, the package check and the screenshots run the same
# code as the unit tests; they are left to the normal build above.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs" --target sanitizer_tests
# One test uses up every file descriptor, and the sanitizers' runtime needs
# one (a pipe) to check a virtual call: it runs in the normal build only.
ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600 -L unit \
    -E '^SocketSetupTest[.]NoSocketLeftToCreateGivesTheCreationBox$'

# Fuzzing: a fixed number of runs of each target (fuzz/run.sh gives a long run).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"
ctest --preset fuzz -j"$jobs"
