#!/usr/bin/env bash
# The other digests, whole process, side by side in one run with the files in
# the page cache:
#   1. SHA-256 of one 1 GiB file (its one-entry .sha256 list)  vs openssl sha256, sha256sum
#   2. a SHA-256 list of 1000 random files of 1 MiB            vs sha256sum -c --quiet,
#                                                                 hashdeep -c sha256 -j2
#   3. MD5 and SHA-256 of one 1 GiB file from one read          vs MD5 alone
#   4. start-up of a console command that needs MD5 only        (libcrypto stays unloaded)
# Prints hyperfine's tables and the ratios.
#
# usage: bench/compare_sha.sh [program]
set -euo pipefail
program=${1:-"$(cd "$(dirname "$0")/.." && pwd)/build/vorlix"}
command -v hyperfine >/dev/null || { echo "hyperfine is needed (apt-get install hyperfine)" >&2; exit 2; }
runs=${RUNS:-5}

work=$(mktemp -d /tmp/vorlix-sha-XXXXXX)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
export XDG_CACHE_HOME="$work/home/cache" VORLIX_UI=console
mkdir -p "$HOME" "$work/one" "$work/many"

echo "making the files..."
head -c $((1024 * 1024 * 1024)) /dev/urandom > "$work/one/image.iso"
head -c $((1000 * 1024 * 1024)) /dev/urandom | split -a 4 -d -b 1M - "$work/many/f"
(cd "$work/one" && sha256sum image.iso > image.iso.sha256)
(cd "$work/many" && sha256sum f* > ../SHA256SUMS && mv ../SHA256SUMS .)
hashdeep=()
if command -v hashdeep >/dev/null; then
  (cd "$work/many" && hashdeep -c sha256 -l f* > ../known.hashdeep)
  hashdeep=(hashdeep "sh -c 'cd $work/many && hashdeep -c sha256 -j2 -a -k ../known.hashdeep -l f* >/dev/null'")
else
  echo "no hashdeep (apt-get install hashdeep): the list runs without it" >&2
fi
sha=$(cut -c1-64 "$work/one/image.iso.sha256")
md5=$(md5sum "$work/one/image.iso" | cut -c1-32)
cat "$work/one/image.iso" "$work"/many/* > /dev/null  # into the page cache

flags=$(grep -m1 '^flags' /proc/cpuinfo || true)
set_text="instruction set:"
case " $flags " in *" sha_ni "*) set_text+=" SHA extensions" ;; esac
case " $flags " in *" avx512f "*) set_text+=" AVX-512" ;; *" avx2 "*) set_text+=" AVX2" ;; esac
echo "$set_text; $(openssl version)"

run() {  # name, then pairs of label and command
  local name=$1; shift
  local args=()
  while [ $# -gt 0 ]; do args+=(-n "$1" "$2"); shift 2; done
  hyperfine --warmup 1 --runs "$runs" --export-json "$work/$name.json" -N "${args[@]}" >&2 ||
    hyperfine --warmup 1 --runs "$runs" --export-json "$work/$name.json" "${args[@]}" >&2
}

ratios() {  # name, ours; every other command against ours
  python3 - "$work/$1.json" "$1" "$2" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
ours = results[sys.argv[3]]
others = ", ".join(f"{name} {t:.3f} s = {t / ours:.2f}x" for name, t in results.items()
                   if name != sys.argv[3])
print(f"{sys.argv[2]}: {sys.argv[3]} {ours:.3f} s; {others}")
PY
}

{
run sha256-1GiB vorlix "$program $work/one/image.iso.sha256" \
  openssl "openssl sha256 $work/one/image.iso" sha256sum "sha256sum $work/one/image.iso"
ratios sha256-1GiB vorlix
run sha256-list-1000x1MiB vorlix "sh -c 'cd $work/many && $program SHA256SUMS >/dev/null'" \
  sha256sum "sh -c 'cd $work/many && sha256sum -c --quiet SHA256SUMS'" "${hashdeep[@]}"
ratios sha256-list-1000x1MiB vorlix
run md5-and-sha256-1GiB both "$program /sourcefile:$work/one/image.iso /expect:sha256:$sha" \
  md5 "$program /sourcefile:$work/one/image.iso /expect:$md5"
ratios md5-and-sha256-1GiB both
run start-up md5 "$program --version"
} 2>&1 | tee "$work/summary" | grep -E "^(sha256|md5|start)" || true
echo
grep -E "^(sha256|md5-and)" "$work/summary"
