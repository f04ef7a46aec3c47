#!/usr/bin/env bash
# Builds the fuzz target with clang (libFuzzer + ASan + UBSan) in a build directory of its own and
# runs it on the committed seed corpus for a number of seconds. Inputs that crash are written to the
# build directory (crash-*); new interesting inputs go to a scratch directory, not to the corpus.
#
#   fuzz/run_fuzz.sh [seconds=60] [build-dir=build-fuzz]
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build=${2:-$top/build-fuzz}
case "$build" in /*) ;; *) build=$top/$build ;; esac

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DORVAN_SANITIZER=address -DORVAN_FUZZ_INSTRUMENT=ON \
  -DORVAN_BUILD_APP=OFF -DORVAN_BUILD_TESTS=OFF -DORVAN_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target drm_answer_fuzz

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The listener never hands over more than 10239 bytes. The target's own diagnostics (the node table
# line) are silenced with -close_fd_mask=2; sanitizer and libFuzzer reports still reach stderr.
"$build/fuzz/drm_answer_fuzz" -max_total_time="$seconds" -max_len=10239 -timeout=10 \
  -artifact_prefix="$build/" -print_final_stats=1 -close_fd_mask=2 "$scratch" "$top/fuzz/corpus"
