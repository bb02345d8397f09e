#!/usr/bin/env bash
# Digests a 1 GiB file from the page cache and compares, in one run, the
# whole-file routine with the in-memory core; then compares the peak memory of
# digesting that file with digesting an empty one.
# Usage: bench/file_digest.sh [build folder]   (configured with -DVORLIX_BUILD_BENCH=ON)
set -euo pipefail
build=$(realpath "${1:-build}")
work=$(mktemp -d /tmp/vorlix-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

head -c 1G /dev/urandom >"$work/big.bin"
: >"$work/empty.bin"
cat "$work/big.bin" >/dev/null  # into the page cache

echo "== throughput"
VORLIX_BENCH_FILE="$work/big.bin" "$build/bench/md5_bench" \
  --benchmark_filter='^(Core|File)' --benchmark_min_time=1 --benchmark_repetitions=5

echo "== digest"
ours=$("$build/bench/digest_file" "$work/big.bin" 2>/dev/null | cut -d' ' -f1)
theirs=$(md5sum "$work/big.bin" | cut -d' ' -f1)
echo "digest_file $ours, md5sum $theirs: $([ "$ours" = "$theirs" ] && echo same || echo DIFFERENT)"

echo "== peak memory"
peak() { /usr/bin/time -v "$build/bench/digest_file" "$1" 2>&1 >/dev/null |
  awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}'; }
empty=$(peak "$work/empty.bin")
big=$(peak "$work/big.bin")
echo "empty file ${empty} KiB, 1 GiB file ${big} KiB, difference $((big - empty)) KiB"
