#!/usr/bin/env python3
"""Start-up, idle and music figures of the game, beside another program.

Every run gets a fresh virtual display, session bus and home folder (the
GStreamer registry copied in, as on any machine after its first start).
Start (the first, in the fresh home): the time to the first window mapped,
the CPU taken and the memory held 3 s after the first window. Idle (the
second start, the game's player made at the first): the wake-ups (context
switches of every thread) in 10 s with music on and no sound server. With a private
sound server (null sink): whether the music is heard (the sink's monitor
is recorded), the CPU share and the wake-ups a second while it plays, a
start with the server frozen, the music after a restart of the server, and
leaving with the server frozen.

  bench/music_probe.py start RUNS GAME OTHER...  interleaved starts and idle
  bench/music_probe.py server GAME               the runs with a sound server

Needs Xvfb, xev, xdotool, dbus-daemon, pulseaudio, parec and gst-inspect-1.0.
Prints one line a figure.
"""
import array
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HZ = os.sysconf("SC_CLK_TCK")
DISPLAY = os.environ.get("PROBE_DISPLAY", ":79")


def cpu_ms(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 // HZ


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0


def wakeups(pid):
    """The context switches of every thread the process has now."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def wakeups_over(pid, seconds):
    """The context switches of all the process's threads, those that end meanwhile too, in `seconds`."""
    if shutil.which("perf"):
        out = subprocess.run(["perf", "stat", "-x,", "-e", "context-switches", "-p", str(pid), "--", "sleep",
                              str(seconds)], capture_output=True, text=True).stderr
        for line in out.splitlines():
            if "context-switches" in line:
                count = line.split(",")[0]
                return int(count) if count.isdigit() else 0  # "<not counted>": it never ran
    before = wakeups(pid)
    time.sleep(seconds)
    return wakeups(pid) - before


class Session:
    """A display, a bus and a home of their own."""

    def __init__(self, registry=None):
        self.root = tempfile.mkdtemp(prefix="probe-")
        self.home = os.path.join(self.root, "home")
        self.runtime = os.path.join(self.root, "run")
        os.makedirs(self.home)
        os.makedirs(self.runtime, mode=0o700)
        if registry:
            shutil.copytree(registry, os.path.join(self.home, ".cache", "gstreamer-1.0"))
        self.xvfb = subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "1366x768x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        self.env = dict(os.environ, DISPLAY=DISPLAY, HOME=self.home, XDG_RUNTIME_DIR=self.runtime,
                        XDG_CONFIG_HOME=self.home + "/.config", XDG_DATA_HOME=self.home + "/.local/share",
                        XDG_CACHE_HOME=self.home + "/.cache")
        for name in ("PULSE_SERVER", "PULSE_RUNTIME_PATH", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"):
            self.env.pop(name, None)
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                             env=self.env, capture_output=True, text=True).stdout.split()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
        self.bus_pid = int(bus[1])
        self.server = None

    def start_server(self):
        self.server = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "--load=module-null-sink sink_name=probe", "--load=module-native-protocol-unix",
             "--load=module-always-sink"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(os.path.join(self.runtime, "pulse", "native")):
                time.sleep(0.2)
                return
            time.sleep(0.05)

    def kill_server(self):
        if self.server:
            self.server.kill()
            self.server.wait()
            self.server = None

    def heard(self, seconds=2.0):
        """Records the null sink's monitor: whether it held more than silence."""
        rec = subprocess.Popen(["parec", "-d", "probe.monitor", "--format=s16le", "--channels=1", "--rate=22050"],
                               env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        time.sleep(seconds)
        rec.terminate()
        data = rec.communicate()[0]
        samples = array.array("h", data[: len(data) // 2 * 2])
        return len(samples) > 0 and max(abs(s) for s in samples) > 300

    def close(self):
        self.kill_server()
        os.kill(self.bus_pid, signal.SIGTERM)
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.root, ignore_errors=True)


def launch(session, exe):
    """Starts exe; answers its process and the time to its first window mapped."""
    xev = subprocess.Popen(["xev", "-root", "-event", "substructure"], env=session.env, stdout=subprocess.PIPE,
                           text=True)
    time.sleep(0.3)
    start = time.monotonic()
    proc = subprocess.Popen([exe], env=session.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                            cwd=session.home)
    first = None
    for line in xev.stdout:
        if line.startswith("MapNotify"):
            first = time.monotonic() - start
            break
    xev.kill()
    return proc, first


def make_player(session, exe):
    """The game's first start asks for a player's name: it is given, and the game closed."""
    proc, _ = launch(session, exe)
    time.sleep(3)
    subprocess.run(["xdotool", "type", "--delay", "20", "Probe"], env=session.env)
    subprocess.run(["xdotool", "key", "Return"], env=session.env)
    time.sleep(1)
    stop(proc)


def stop(proc):
    proc.terminate()
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def gst_registry(game):
    """A registry built once, as the game's first start builds it."""
    home = tempfile.mkdtemp(prefix="probe-registry-")
    env = dict(os.environ, HOME=home, XDG_CACHE_HOME=home + "/.cache")
    subprocess.run(["gst-inspect-1.0"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    path = os.path.join(home, ".cache", "gstreamer-1.0")
    return path if os.path.isdir(path) else None


def start_runs(runs, game, others):
    registry = os.environ.get("PROBE_GST_REGISTRY") or gst_registry(game)
    for run in range(runs):
        for name, exe in [("game", game)] + [(o, o) for o in others]:
            s = Session(registry)
            try:
                proc, first = launch(s, exe)
                time.sleep(3)
                cpu = cpu_ms(proc.pid)
                rss = rss_mb(proc.pid)
                if exe == game:
                    subprocess.run(["xdotool", "type", "--delay", "20", "Probe"], env=s.env)
                    subprocess.run(["xdotool", "key", "Return"], env=s.env)
                    time.sleep(1)
                stop(proc)
                proc, _ = launch(s, exe)
                time.sleep(5)
                c0 = cpu_ms(proc.pid)
                woken = wakeups_over(proc.pid, 10)
                c1 = cpu_ms(proc.pid)
                load = os.getloadavg()[0]
                print(f"{name} run {run + 1}: first window {first * 1000:.0f} ms, start CPU {cpu} ms, "
                      f"RSS {rss:.1f} MB; second start, idle 10 s: {woken} wake-ups, {c1 - c0} ms CPU "
                      f"(load {load:.1f})", flush=True)
                stop(proc)
            finally:
                s.close()


def server_runs(game):
    registry = os.environ.get("PROBE_GST_REGISTRY") or gst_registry(game)
    # Music to a running server.
    s = Session(registry)
    try:
        make_player(s, game)
        s.start_server()
        proc, first = launch(s, game)
        time.sleep(4)
        print(f"with a server: music heard {s.heard()}", flush=True)
        c0, t0 = cpu_ms(proc.pid), time.monotonic()
        woken = wakeups_over(proc.pid, 10)
        c1, t1 = cpu_ms(proc.pid), time.monotonic()
        print(f"while the music plays: {100 * (c1 - c0) / ((t1 - t0) * 1000):.2f}% of a core, "
              f"{woken / (t1 - t0):.1f} wake-ups a second", flush=True)
        s.kill_server()
        time.sleep(1)
        s.start_server()
        back = time.monotonic()
        heard = False
        while not heard and time.monotonic() - back < 10:
            heard = s.heard(1.0)
        print(f"after a restart of the server: music heard {heard} "
              f"within {time.monotonic() - back:.1f} s", flush=True)
        s.server.send_signal(signal.SIGSTOP)
        left = time.monotonic()
        stop(proc)
        print(f"leaving with the server frozen: {1000 * (time.monotonic() - left):.0f} ms, "
              f"exit status {proc.returncode}", flush=True)
        s.server.send_signal(signal.SIGCONT)
    finally:
        s.close()
    # A start with the server frozen.
    s = Session(registry)
    try:
        make_player(s, game)
        s.start_server()
        s.server.send_signal(signal.SIGSTOP)
        xev = subprocess.Popen(["xev", "-root", "-event", "substructure"], env=s.env, stdout=subprocess.PIPE,
                               text=True)
        time.sleep(0.3)
        start = time.monotonic()
        proc = subprocess.Popen([game], env=s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=s.home)
        maps = []
        os.set_blocking(xev.stdout.fileno(), False)
        while time.monotonic() - start < 5:
            line = xev.stdout.readline()
            if line.startswith("MapNotify"):
                maps.append(time.monotonic() - start)
            elif not line:
                time.sleep(0.01)
        xev.kill()
        print("start with the server frozen: windows mapped at " + ", ".join(f"{m * 1000:.0f} ms" for m in maps),
              flush=True)
        s.server.send_signal(signal.SIGCONT)
        time.sleep(3)
        print(f"once the server answers: music heard {s.heard()}", flush=True)
        stop(proc)
    finally:
        s.close()


if __name__ == "__main__":
    sys.argv[2:] = [os.path.abspath(a) if os.path.exists(a) else a for a in sys.argv[2:]]
    if len(sys.argv) >= 5 and sys.argv[1] == "start":
        start_runs(int(sys.argv[2]), sys.argv[3], sys.argv[4:])
    elif len(sys.argv) == 3 and sys.argv[1] == "server":
        server_runs(sys.argv[2])
    else:
        print(__doc__)
        sys.exit(2)
