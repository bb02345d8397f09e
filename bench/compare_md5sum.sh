#!/usr/bin/env bash
# Whole-process speed of the main job against md5sum, side by side in one run:
#   VORLIX_UI=console build/vorlix /sourcefile:F /auto   versus   md5sum F
# on a file that sits in the page cache. Prints hyperfine's table and the ratio.
#
# usage: bench/compare_md5sum.sh [size-in-MiB] [program]
set -euo pipefail
size_mib=${1:-1024}
program=${2:-"$(cd "$(dirname "$0")/.." && pwd)/build/vorlix"}
command -v hyperfine >/dev/null || { echo "hyperfine is needed (apt-get install hyperfine)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/data.bin"
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$file"
cat "$file" > /dev/null  # into the page cache

export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
hyperfine --warmup 1 --runs "${RUNS:-5}" --export-json "$work/times.json" \
  --prepare "rm -f '$file.MD5'" \
  -n vorlix "VORLIX_UI=console '$program' '/sourcefile:$file' /auto" \
  -n md5sum "md5sum '$file'"

python3 - "$work/times.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
vorlix, md5sum = results["vorlix"]["median"], results["md5sum"]["median"]
print(f"median: vorlix {vorlix:.3f} s, md5sum {md5sum:.3f} s; vorlix is {md5sum / vorlix:.2f}x the speed of md5sum")
PY
