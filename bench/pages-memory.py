#!/usr/bin/env python3
"""Peak memory of one glyphmill-cli export and its plug-in host, shared memory counted once.

Runs glyphmill-cli with the given arguments and samples /proc/PID/smaps_rollup of the program and
of every process below it (the plug-in host) every few milliseconds. The figure is the largest sum
of their proportional set sizes (Pss) seen in one sample: pages two processes share, such as the
export's shared memory, count once between them. Also printed: the program's own peak RSS
(VmHWM), the plug-in host's peak private memory outside the shared memory, their sum (a bound on
the same figure that a sample taken while pages change hands cannot inflate) and the wall time.

  bench/pages-memory.py [-b BUILD_DIR] [-i INTERVAL_MS] [-t] [-- CLI ARGUMENTS...]

Without CLI arguments it runs the 16-page job: Noto Sans CJK SC 68 pt, U+4E00..U+9FFF, 16 pages
of 4096x4096, "BMFont Text" and "PNG Image", into a temporary folder. Builds nothing: pass a
Release or RelWithDebInfo build folder.
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

CJK16 = ["--quiet", "--no-bold", "--font", "Noto Sans CJK SC", "--size", "68", "--chars", "0x4E00-0x9FFF",
         "--texture", "4096x4096", "--pages", "16", "-e", "BMFont Text", "-e", "PNG Image"]


def children(pid):
    try:
        with open(f"/proc/{pid}/task/{pid}/children") as f:
            return [int(c) for c in f.read().split()]
    except OSError:
        return []


def tree(pid):
    out, todo = [], [pid]
    while todo:
        p = todo.pop()
        out.append(p)
        todo.extend(children(p))
    return out


def rollup_kib(pid, *fields):
    total = 0
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                name = line.split(":")[0]
                if name in fields:
                    total += int(line.split()[1])
    except OSError:
        pass
    return total


def pss_kib(pid):
    return rollup_kib(pid, "Pss")


def own_private_kib(pid):
    """Private memory outside the export's shared memory: a page of it that only one process still
    maps (while the program gives the region back) counts as private there, but is no memory of
    the process's own."""
    total, shared_region = 0, False
    try:
        with open(f"/proc/{pid}/smaps") as f:
            for line in f:
                head = line.split()
                if head and "-" in head[0] and ":" not in head[0]:
                    shared_region = "memfd:glyphmill-export" in line
                elif not shared_region and head and head[0] in ("Private_Clean:", "Private_Dirty:"):
                    total += int(head[1])
    except OSError:
        pass
    return total


def hwm_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("-b", "--build", default="build")
    ap.add_argument("-i", "--interval", type=float, default=5.0, help="sampling interval, ms")
    ap.add_argument("-t", "--trace", action="store_true", help="print the sum about every half second")
    ap.add_argument("cli_args", nargs="*")
    a = ap.parse_args()
    build = os.path.abspath(a.build)
    with tempfile.TemporaryDirectory() as out:
        args = a.cli_args or CJK16 + ["-o", os.path.join(out, "font.fnt")]
        cmd = [os.path.join(build, "glyphmill-cli"), "--plugins", os.path.join(build, "plugins")] + args
        start = time.monotonic()
        proc = subprocess.Popen(cmd)
        peak, peak_at, hwm, samples, traced, host_private = 0, 0.0, 0, 0, 0.0, 0
        while proc.poll() is None:
            pids = tree(proc.pid)
            total = sum(pss_kib(p) for p in pids)
            hwm = max(hwm, hwm_kib(proc.pid))
            host_private = max(host_private, sum(own_private_kib(p) for p in pids if p != proc.pid))
            samples += 1
            now = time.monotonic() - start
            if total > peak:
                peak, peak_at = total, now
            if a.trace and now >= traced + 0.5:
                traced = now
                print(f"{now:6.2f} s  {total / 1024:6.0f} MiB  " +
                      " + ".join(f"{pss_kib(p) / 1024:.0f}" for p in pids), flush=True)
            time.sleep(a.interval / 1000.0)
        wall = time.monotonic() - start
        files = sorted(os.listdir(out)) if not a.cli_args else []
    print(f"exit status {proc.returncode}, {wall:.2f} s wall, {samples} samples")
    if files:
        print(f"files: {len(files)} ({files[0]} .. {files[-1]})")
    print(f"program peak RSS (VmHWM, last sample): {hwm / 1024:.0f} MiB; plug-in host's peak own private memory: "
          f"{host_private / 1024:.0f} MiB; together {(hwm + host_private) / 1024:.0f} MiB")
    print(f"peak Pss, program + plug-in host: {peak / 1024:.0f} MiB ({peak / 1048576:.2f} GiB) at {peak_at:.2f} s")
    return proc.returncode


if __name__ == "__main__":
    sys.exit(main())
