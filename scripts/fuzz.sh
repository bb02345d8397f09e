#!/usr/bin/env bash
# Builds every fuzz target with clang's libFuzzer and runs each for SECONDS
# (default 60) from the seed corpus in tests/fuzz/corpus. Fails on the first
# finding and prints the input that found it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

[ -n "${VORLIX_SKIP_DEPS:-}" ] || scripts/install-deps.sh clang libclang-rt-14-dev llvm xxd
CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLIX_FUZZ=ON -DVORLIX_BUILD_TESTS=OFF -DVORLIX_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets

fuzz_dir=$PWD/tests/fuzz
out=$PWD/build-fuzz/fuzz-run
rm -rf "$out"
mkdir -p "$out"
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:symbolize=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp

status=0
for target in build-fuzz/tests/fuzz/fuzz_*; do
  name=${target##*/fuzz_}
  # New inputs go to a scratch corpus; the seeds in the repo stay as they are.
  mkdir -p "$out/$name/corpus"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$out/$name/")
  [ -f "$fuzz_dir/$name.dict" ] && options+=(-dict="$fuzz_dir/$name.dict")
  echo "== fuzz_$name for ${seconds}s"
  if ! "$target" "${options[@]}" "$out/$name/corpus" "$fuzz_dir/corpus/$name" \
      >"$out/$name/log" 2>&1; then
    status=1
    echo "fuzz_$name found a fault:"
    grep -E 'ERROR|invariant|SUMMARY|Test unit written' "$out/$name/log" | head -20 || true
    for finding in "$out/$name"/crash-* "$out/$name"/timeout-* "$out/$name"/leak-* \
        "$out/$name"/oom-*; do
      [ -f "$finding" ] || continue
      echo "input ($finding):"
      xxd "$finding" | head -40
    done
  else
    grep -E '^stat::number_of_executed_units' "$out/$name/log" || true
  fi
done
exit $status
