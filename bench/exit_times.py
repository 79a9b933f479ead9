#!/usr/bin/env python3
"""How long the program takes to end while its devices misbehave.

For each kind of device fault, runs the real program with simulated devices (a keyboard, a
mouse and a mouse pad, all with that fault), lets the connection sequences start, ends the
program and measures from its "exit" debug line to the end of the process. Headless runs
end through the end of their script; windowed runs (under a private Xvfb with trayer) through
"Exit" in the tray menu, clicked with xdotool.

    bench/exit_times.py [--build build/default] [--runs 3] [--windowed] [--only NAME]

Prints one line per fault: the median and the longest exit, in milliseconds.
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

FAULTS = [
    ("normal", []),
    ("slow_290ms", ["latency-ms=290"]),
    ("answers_too_late", ["latency-ms=10000"]),
    ("never_answers", ["fault=silent@1"]),
    ("silent_mid_sync", ["latency-ms=50", "fault=silent@6"]),
    ("unplugged_mid_exchange", ["latency-ms=50", "fault=unplug@10"]),
    ("one_answer_8s_late", ["latency-ms=50", "fault=late@3:8000"]),
    ("busy_fe", ["latency-ms=50", "fault=status-fe@8"]),
    ("cannot_be_opened", ["fault=eacces"]),
]
EXIT_LINE = "退出测试"
MODELS = "rgb-keyboard,mouse,mousepad"
# How long the devices are talked to before the program is told to end.
RUN_BEFORE_EXIT_S = 0.6
# A windowed run whose tray menu could not be driven (a measuring fault, not the program's).
NOT_REACHED = "not reached"
# A run that has not ended this long after its exit line is counted as hung and killed.
HANG_LIMIT_S = 15.0


class Run:
    """The program with its debug lines time-stamped as they arrive."""

    def __init__(self, argv, env, stdin=None):
        self.exit_at = None
        self.lines = []
        self.proc = subprocess.Popen(argv, env=env, stdin=stdin, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.PIPE)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.proc.stderr:
            line = raw.decode("utf-8", "replace").rstrip("\n")
            now = time.monotonic()
            self.lines.append(line)
            if self.exit_at is None and line.startswith(EXIT_LINE):
                self.exit_at = now

    def wait_line(self, texts, limit_s):
        """Waits for a line holding the text (or one of the texts)."""
        texts = [texts] if isinstance(texts, str) else texts
        end = time.monotonic() + limit_s
        while time.monotonic() < end:
            if any(text in line for line in self.lines for text in texts):
                return True
            if self.proc.poll() is not None:
                return False
            time.sleep(0.02)
        return False

    def finish(self):
        """Milliseconds from the exit line to the end of the process; None when it hung."""
        try:
            self.proc.wait(timeout=HANG_LIMIT_S + RUN_BEFORE_EXIT_S + 10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            print("  hung; last lines: " + " | ".join(self.lines[-5:]), file=sys.stderr)
            return None
        ended = time.monotonic()
        self.reader.join(timeout=2)
        if self.exit_at is None:
            print("  ended without its exit line; last lines: " + " | ".join(self.lines[-5:]),
                  file=sys.stderr)
            return None
        return (ended - self.exit_at) * 1000.0


def environment(work, extra=None):
    env = dict(os.environ)
    env["KORVANE_DEBUG"] = "1"
    env["KORVANE_DATA_ROOT"] = os.path.join(work, "data")
    env["XDG_CONFIG_HOME"] = os.path.join(work, "config")
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)  # the tray through XEmbed (trayer)
    if extra:
        env.update(extra)
    return env


def sim_args(settings):
    args = ["--simulate=" + MODELS]
    for setting in settings:
        args += ["--sim-set", setting]
    return args


def headless_once(program, work, settings):
    script = "wait %d\n" % int(RUN_BEFORE_EXIT_S * 1000)
    run = Run([program, "--headless"] + sim_args(settings) + ["--script", "-"],
              environment(work), stdin=subprocess.PIPE)
    run.proc.stdin.write(script.encode())
    run.proc.stdin.close()
    return run.finish()


class Desktop:
    """A private Xvfb with a tray host; ended (by process id) when left."""

    def __init__(self, work):
        self.pids = []
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-noreset", "-nolisten",
                                 "tcp", "-screen", "0", "1280x800x24"],
                                pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        self.pids.append(xvfb)
        os.close(write_fd)
        with os.fdopen(read_fd) as display:
            self.display = ":" + display.readline().strip()
        self.env = {"DISPLAY": self.display}
        tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                                 "pixel", "--width", "64", "--heighttype", "pixel", "--height",
                                 "24"], env=environment(work, self.env),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.pids.append(tray)
        time.sleep(0.5)

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=dict(os.environ, **self.env),
                              capture_output=True, text=True, check=False).stdout

    def icon_centre(self, limit_s=20):
        """Where the program's tray icon is: the one embedded window named korvane."""
        end = time.monotonic() + limit_s
        while time.monotonic() < end:
            tree = subprocess.run(["xwininfo", "-root", "-tree"], env=dict(os.environ, **self.env),
                                  capture_output=True, text=True, check=False).stdout
            for line in tree.splitlines():
                if '("korvane" "korvane")' in line and "22x22" in line:
                    # ... 22x22+0+0  +X+Y
                    absolute = line.split()[-1].lstrip("+").split("+")
                    return int(absolute[0]) + 11, int(absolute[1]) + 11
            time.sleep(0.1)
        return None

    def close(self):
        for proc in reversed(self.pids):
            proc.terminate()
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()


def windowed_once(program, work, desktop, settings):
    run = Run([program] + sim_args(settings), environment(work, desktop.env))
    try:
        centre = desktop.icon_centre()
        if centre is None:
            raise RuntimeError("no tray icon")
        # The window comes up when a device connects, a message box when none can be opened;
        # the menu is opened once that has happened, or the new window takes the keys.
        run.wait_line(["window shown", "cannot be opened"], 20)
        time.sleep(RUN_BEFORE_EXIT_S)
        x, y = centre
        for _ in range(3):
            # The tray menu: Language, Exit, Start with the system; Exit is the second entry.
            desktop.xdotool("mousemove", str(x), str(y), "click", "3")
            time.sleep(0.4)
            desktop.xdotool("key", "Down", "Down", "Return")
            if run.wait_line(EXIT_LINE, 3):
                break
            desktop.xdotool("key", "Escape")
        else:
            print("  the tray menu's Exit could not be reached; run left out", file=sys.stderr)
            return NOT_REACHED
        return run.finish()
    finally:
        if run.proc.poll() is None:
            run.proc.kill()
            run.proc.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/default")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--windowed", action="store_true")
    parser.add_argument("--only")
    options = parser.parse_args()
    program = os.path.join(options.build, "src", "main", "korvane")
    if not os.access(program, os.X_OK):
        sys.exit("exit_times: no program at " + program)
    work = tempfile.mkdtemp(prefix="korvane-exit-")
    desktop = Desktop(work) if options.windowed else None
    worst = 0.0
    try:
        print("%-24s %10s %10s   (%s, %d runs, exit line to process end)" %
              ("fault", "median ms", "max ms", "windowed" if desktop else "headless",
               options.runs))
        for name, settings in FAULTS:
            if options.only and name != options.only:
                continue
            times = []
            for _ in range(options.runs):
                if desktop:
                    took = windowed_once(program, work, desktop, settings)
                else:
                    took = headless_once(program, work, settings)
                if took is not NOT_REACHED:
                    times.append(float("inf") if took is None else took)
            if not times:
                print("%-24s %10s" % (name, "no run"))
                continue
            worst = max(worst, max(times))
            print("%-24s %10.0f %10.0f   %s" % (name, statistics.median(times), max(times),
                                               " ".join("%.0f" % t for t in times)))
            sys.stdout.flush()
    finally:
        if desktop:
            desktop.close()
        shutil.rmtree(work, ignore_errors=True)
    return 0 if worst < 2000 else 1


if __name__ == "__main__":
    signal.signal(signal.SIGINT, signal.SIG_DFL)
    sys.exit(main())
