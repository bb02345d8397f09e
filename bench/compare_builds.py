#!/usr/bin/env python3
"""Two builds of the program side by side, whole process, files in the page cache.

Runs alternate between the builds (old, new, new, old, ...), so that the
machine's drift over a run weighs on both alike; timing one build's block of
runs after the other's lets that drift pass for a difference. Prints the
median of each build and their ratio for each case:
  one file of 1 GiB (/sourcefile /auto), an md5sum list of 1000 files of
  1 MiB, the folder file of those files, a list of 10,000 files of 4 KiB,
  and the start-up of --version.

usage: bench/compare_builds.py OLD-PROGRAM NEW-PROGRAM [pairs]
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    old, new = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    pairs = int(sys.argv[3]) if len(sys.argv) > 3 else 16
    work = tempfile.mkdtemp(prefix="vorlix-builds-", dir="/tmp")
    try:
        home = os.path.join(work, "home")
        os.makedirs(home)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
                   XDG_DATA_HOME=home + "/data", VORLIX_UI="console")
        print("making the files...", flush=True)
        subprocess.run(
            "set -e; mkdir big small; head -c 1073741824 /dev/urandom > one.bin;"
            "head -c 1048576000 /dev/urandom | split -a 4 -d -b 1M - big/f;"
            "head -c 40960000 /dev/urandom | split -a 5 -d -b 4K - small/f;"
            "(cd big && md5sum f* > list.md5); (cd small && md5sum f* > list.md5);"
            "cat one.bin big/* small/* > /dev/null",
            shell=True, check=True, cwd=work)
        written = [os.path.join(work, "one.bin.MD5"), os.path.join(work, "big.MD5")]

        def run(program, args):
            for path in written:
                if os.path.exists(path):
                    os.remove(path)
            start = time.perf_counter()
            subprocess.run([program] + args, env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            return time.perf_counter() - start

        cases = [
            ("one file of 1 GiB", ["/sourcefile:" + work + "/one.bin", "/auto"], 1),
            ("list of 1000 x 1 MiB", [work + "/big/list.md5"], 1),
            ("folder file, 1000 x 1 MiB", ["/sourcefolder:" + work + "/big", "/auto"], 1),
            ("list of 10,000 x 4 KiB", [work + "/small/list.md5"], 4),
            ("start-up (--version)", ["--version"], 8),
        ]
        for name, args, weight in cases:
            for program in (old, new):
                run(program, args)  # warm-up
            times = {old: [], new: []}
            for i in range(pairs * weight):
                order = (old, new) if i % 2 == 0 else (new, old)
                for program in order:
                    times[program].append(run(program, args))
            o, n = statistics.median(times[old]), statistics.median(times[new])
            print(f"{name}: old {o * 1000:.1f} ms, new {n * 1000:.1f} ms, new/old {n / o:.3f}",
                  flush=True)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
