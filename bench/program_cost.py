#!/usr/bin/env python3
"""What the running program costs, thread by thread.

Runs build/default/src/main/korvane under an Xvfb of its own (with openbox, so the window
can be minimised) with simulated devices answering after 1 ms, and samples every thread's
CPU time (/proc/PID/task/TID/schedstat) and context switches (each one a wake-up) by
thread name. Threads whose names start with "kv-sim" (simulated firmware) are left out of
the totals. Scenarios:

  idle      no device, window hidden
  visible   three devices animating at their shipped defaults, window on screen
  hidden    the same with the window minimised
  start     time from exec to the window on screen (first run: fresh data folder, the
            profiles are seeded), resident memory once it shows

  bench/program_cost.py [--build build/default] [--seconds 30] [scenario ...]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

SIM_PREFIX = "kv-sim"


def thread_sample(pid):
    """{tid: (name, cpu_ns, switches)} of every thread of the process."""
    sample = {}
    task_dir = f"/proc/{pid}/task"
    try:
        tids = os.listdir(task_dir)
    except FileNotFoundError:
        return sample
    for tid in tids:
        try:
            with open(f"{task_dir}/{tid}/comm") as f:
                name = f.read().strip()
            with open(f"{task_dir}/{tid}/schedstat") as f:
                cpu_ns = int(f.read().split()[0])
            switches = 0
            with open(f"{task_dir}/{tid}/status") as f:
                for line in f:
                    if "ctxt_switches" in line:
                        switches += int(line.split(":")[1])
        except (FileNotFoundError, ProcessLookupError, ValueError):
            continue
        sample[tid] = (name, cpu_ns, switches)
    return sample


def resident_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def measure(pid, seconds):
    """Per thread name: (% of one core, wake-ups per second) over the span."""
    before = thread_sample(pid)
    start = time.monotonic()
    time.sleep(seconds)
    after = thread_sample(pid)
    wall = time.monotonic() - start
    by_name = {}
    for tid, (name, cpu, switches) in after.items():
        cpu0, sw0 = 0, 0
        if tid in before:
            _, cpu0, sw0 = before[tid]
        cpu_pct, wakeups = by_name.get(name, (0.0, 0.0))
        by_name[name] = (cpu_pct + (cpu - cpu0) / 1e9 / wall * 100.0,
                         wakeups + (switches - sw0) / wall)
    return by_name


def report(title, by_name):
    print(f"\n== {title}")
    print(f"{'thread':<18}{'% core':>10}{'wakeups/s':>12}")
    total_cpu = total_wake = 0.0
    for name, (cpu, wake) in sorted(by_name.items(), key=lambda kv: -kv[1][0]):
        excluded = name.startswith(SIM_PREFIX)
        mark = " (simulated firmware, not counted)" if excluded else ""
        print(f"{name:<18}{cpu:>10.3f}{wake:>12.1f}{mark}")
        if not excluded:
            total_cpu += cpu
            total_wake += wake
    print(f"{'total':<18}{total_cpu:>10.3f}{total_wake:>12.1f}")
    return total_cpu, total_wake


class Display:
    """An Xvfb of our own (never a fixed number) with openbox on it."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset",
                                      "-screen", "0", "1280x1024x24"],
                                     pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        self.name = ":" + number.decode().strip()
        env = dict(os.environ, DISPLAY=self.name)
        self.wm = None
        if shutil.which("openbox"):
            self.wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            time.sleep(0.5)
        return self

    def __exit__(self, *exc):
        for process in (self.wm, self.xvfb):
            if process is not None:
                process.terminate()
                process.wait()


class Program:
    def __init__(self, build, display, args, data_root):
        env = dict(os.environ, DISPLAY=display, KORVANE_DATA_ROOT=data_root,
                   KORVANE_DEBUG="1", XDG_RUNTIME_DIR=data_root,
                   XDG_CONFIG_HOME=os.path.join(data_root, "config"))
        env.pop("QT_QPA_PLATFORM", None)
        self.display = display
        self.env = env
        self.started = time.monotonic()
        self.log = open(os.path.join(data_root, "stderr.log"), "w")
        self.process = subprocess.Popen([os.path.join(build, "src/main/korvane")] + args,
                                        env=env, stdout=subprocess.DEVNULL, stderr=self.log)

    def window(self, timeout=20.0):
        """The id of the program's visible window, once it shows (None when it never does)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid",
                                    str(self.process.pid)], env=self.env, capture_output=True,
                                   text=True).stdout.split()
            if found:
                return found[-1]
            time.sleep(0.01)
        return None

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/default")
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("scenarios", nargs="*",
                        default=["idle", "visible", "hidden", "start"])
    options = parser.parse_args()
    latency = ["--sim-set", "latency-ms=1"]
    results = {}
    with Display() as display:
        if "idle" in options.scenarios:
            with tempfile.TemporaryDirectory() as data:
                program = Program(options.build, display.name, ["--simulate=none"] + latency,
                                  data)
                time.sleep(5.0)  # start-up done, every thread asleep
                results["idle"] = report("idle: no device, window hidden",
                                         measure(program.process.pid, options.seconds))
                program.stop()
        if {"visible", "hidden"} & set(options.scenarios):
            with tempfile.TemporaryDirectory() as data:
                program = Program(options.build, display.name, ["--simulate"] + latency, data)
                window = program.window()
                time.sleep(5.0)  # every effect thread is drawing
                if "visible" in options.scenarios:
                    results["visible"] = report(
                        "three devices animating, window visible",
                        measure(program.process.pid, options.seconds))
                    print(f"resident memory {resident_mb(program.process.pid):.1f} MB")
                if "hidden" in options.scenarios and window is not None:
                    subprocess.run(["xdotool", "windowminimize", "--sync", window],
                                   env=program.env, timeout=10)
                    time.sleep(2.0)
                    results["hidden"] = report(
                        "three devices animating, window minimised",
                        measure(program.process.pid, options.seconds))
                program.stop()
        if "start" in options.scenarios:
            runs = []
            for _ in range(3):
                with tempfile.TemporaryDirectory() as data:
                    program = Program(options.build, display.name, ["--simulate"] + latency,
                                      data)
                    window = program.window()
                    shown = time.monotonic() - program.started
                    time.sleep(1.0)
                    rss = resident_mb(program.process.pid)
                    program.stop()
                    with open(os.path.join(data, "stderr.log")) as log:
                        inner = [line.strip() for line in log if line.startswith("window shown")]
                    runs.append((shown if window else None, rss, inner[:1]))
            print("\n== start to window shown (first run, fresh data folder)")
            for shown, rss, inner in runs:
                text = f"{shown * 1000:.0f} ms" if shown is not None else "never shown"
                print(f"exec -> window visible {text}; resident {rss:.1f} MB; {inner}")
    print("\n== goals")
    goals = {"idle": (0.1, 5.0), "hidden": (1.0, None), "visible": (2.0, None)}
    for name, (cpu_goal, wake_goal) in goals.items():
        if name in results:
            cpu, wake = results[name]
            ok = cpu <= cpu_goal and (wake_goal is None or wake <= wake_goal)
            wake_text = f", wakeups {wake:.1f}/s (goal <= {wake_goal})" if wake_goal else ""
            print(f"{name}: {cpu:.3f}% core (goal <= {cpu_goal}){wake_text}: "
                  f"{'met' if ok else 'NOT met'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
