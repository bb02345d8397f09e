#!/usr/bin/env bash
# Many files, whole process, side by side in one run with files in the page cache:
#   1. verifying an md5sum list of 1000 random files of 1 MiB   vs md5sum -c --quiet
#   2. the folder checksum file of the same 1000 files           vs find | sort | xargs md5sum
#   3. verifying a list of 10,000 files of 4 KiB                 vs md5sum -c --quiet
# each with the vector lanes and with VORLIX_MD5_LANES=1 (the scalar core),
# then the peak memory of run 1. Prints hyperfine's tables and the ratios.
#
# usage: bench/compare_many.sh [program]
set -euo pipefail
program=${1:-"$(cd "$(dirname "$0")/.." && pwd)/build/vorlix"}
command -v hyperfine >/dev/null || { echo "hyperfine is needed (apt-get install hyperfine)" >&2; exit 2; }
runs=${RUNS:-5}

work=$(mktemp -d /tmp/vorlix-many-XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
export XDG_CACHE_HOME="$work/home/cache" VORLIX_UI=console
mkdir -p "$HOME"

echo "making the files..."
mkdir -p "$work/big" "$work/small"
head -c $((1000 * 1024 * 1024)) /dev/urandom | split -a 4 -d -b 1M - "$work/big/f"
head -c $((10000 * 4096)) /dev/urandom | split -a 5 -d -b 4K - "$work/small/f"
(cd "$work/big" && md5sum f* > ../big.md5)
(cd "$work/small" && md5sum f* > ../small.md5)
mv "$work/big.md5" "$work/big/list.md5"
mv "$work/small.md5" "$work/small/list.md5"
cat "$work"/big/* "$work"/small/* > /dev/null  # into the page cache

compare() {  # name, ours, theirs
  local name=$1 ours=$2 theirs=$3
  hyperfine --warmup 1 --runs "$runs" --export-json "$work/$name.json" -i \
    --prepare "rm -f '$work/big.MD5'" \
    -n lanes "$ours" -n scalar "export VORLIX_MD5_LANES=1; $ours" -n reference "$theirs" >&2
  python3 - "$work/$name.json" "$name" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
ref = results["reference"]
print(f"{sys.argv[2]}: reference {ref:.3f} s; lanes {results['lanes']:.3f} s = {ref / results['lanes']:.2f}x; "
      f"scalar {results['scalar']:.3f} s = {ref / results['scalar']:.2f}x")
PY
}

# The program takes the widest set the processor has (AVX-512, then AVX2).
flags=$(grep -m1 '^flags' /proc/cpuinfo || true)
case " $flags " in
  *" avx512f "*) echo "instruction set: AVX-512 (16 lanes)" ;;
  *" avx2 "*) echo "instruction set: AVX2 (8 lanes)" ;;
  *) echo "instruction set: scalar" ;;
esac
{
compare list-1000x1MiB "cd '$work/big' && '$program' list.md5 > /dev/null" \
  "cd '$work/big' && md5sum -c --quiet list.md5"
compare folder-1000x1MiB "cd '$work' && '$program' '/sourcefolder:$work/big' /auto > /dev/null" \
  "cd '$work' && find big -type f -print0 | sort -z | xargs -0 md5sum > '$work/out'"
compare list-10000x4KiB "cd '$work/small' && '$program' list.md5 > /dev/null" \
  "cd '$work/small' && md5sum -c --quiet list.md5"
} | tee "$work/summary"

peak=$(cd "$work/big" && /usr/bin/time -v "$program" list.md5 2>&1 >/dev/null |
  awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}')
echo "peak memory verifying 1000 x 1 MiB: ${peak} KiB"
