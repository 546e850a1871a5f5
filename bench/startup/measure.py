#!/usr/bin/env python3
"""Start-up time of Portwright against a bare Qt window of the same size:
from just before the process is started to the first paint of its window,
several runs each, interleaved, medians reported.

Usage: measure.py BUILD_DIR [RUNS]   (the display or QT_QPA_PLATFORM set by the caller)
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

TARGET_RATIO = 1.3


def first_paint(command, env):
    """Wall time and the process's CPU time from start to first paint, in ms."""
    start = time.time_ns()
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            timeout=60, check=False)
    for line in result.stdout.decode(errors="replace").splitlines():
        if line.startswith("first-paint "):
            _, realtime, cpu = line.split()
            return (int(realtime) - start) / 1e6, int(cpu) / 1e6
    raise RuntimeError(f"{command[0]} ended (status {result.returncode}) without painting its window")


def main(argv):
    build = argv[1] if len(argv) > 1 else "build"
    runs = int(argv[2]) if len(argv) > 2 else 15
    portwright = os.path.join(build, "ui", "qt", "portwright")
    bare = os.path.join(build, "bench", "startup", "bare_window")
    demo = os.path.join(build, "ui", "qt", "portwright-demo")
    for program in (portwright, bare, demo):
        if not os.access(program, os.X_OK):
            sys.exit(f"startup: {program} is missing; build first (make build)")

    with tempfile.TemporaryDirectory(prefix="portwright-bench-") as prefix:
        # A stored value, so that no message box stands before the window.
        subprocess.run([demo, "seed", prefix], check=True)
        env = dict(os.environ, PORTWRIGHT_PREFIX=prefix, PORTWRIGHT_STARTUP_PROBE="1")
        # The bare window with one line of text shows what the font system's
        # first use costs, which the empty window never pays.
        commands = {"bare window": [bare], "bare + text": [bare, "--text"], "portwright": [portwright]}
        times = {name: [] for name in commands}
        cpu = {name: [] for name in commands}
        for command in commands.values():
            first_paint(command, env)  # warms the file cache
        for _ in range(runs):
            for name, command in commands.items():
                wall, used = first_paint(command, env)
                times[name].append(wall)
                cpu[name].append(used)

    platform = os.environ.get("QT_QPA_PLATFORM") or f"xcb on {os.environ.get('DISPLAY', '?')}"
    print(f"start to first paint, {runs} runs each, platform {platform}")
    medians = {}
    cpu_medians = {}
    for name, values in times.items():
        medians[name] = statistics.median(values)
        cpu_medians[name] = statistics.median(cpu[name])
        print(f"  {name:12s} median {medians[name]:7.1f} ms   min {min(values):7.1f}   max {max(values):7.1f}"
              f"   cpu median {cpu_medians[name]:6.1f} ms")
    for label, table in (("wall", medians), ("cpu", cpu_medians)):
        ratio = table["portwright"] / table["bare window"]
        verdict = "within" if ratio <= TARGET_RATIO else "OVER"
        print(f"  {label} ratio portwright / bare window {ratio:.2f} ({verdict} the target of {TARGET_RATIO});"
              f" / bare + text {table['portwright'] / table['bare + text']:.2f}")
    print(f"  load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores (wall times grow with it)")


if __name__ == "__main__":
    main(sys.argv)
