#!/usr/bin/env python3
"""The body of bench/against_peer.sh: generates the files, runs the programs
and prints the table. Peak memory is the child's own (wait4's ru_maxrss)."""
import argparse
import os
import shutil
import signal
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
MB = 1e6
WORK = None


def run(cmd, cwd=None, may_fail=False, timeout=None):
    """Runs cmd once; returns (seconds, peak MiB), or None when it failed and
    may_fail. GNU time gives the peak: a child forked from this interpreter
    would count the interpreter's pages as its own until it executes."""
    report = os.path.join(WORK, "time.txt")
    start = time.perf_counter()
    # A session of its own, so that a peer past its time goes with its timer.
    proc = subprocess.Popen(["/usr/bin/time", "-f", "%M %U %S", "-o", report] + cmd, cwd=cwd,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, start_new_session=True)
    try:
        _, err = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        sys.stderr.write(f"{' '.join(cmd)}: stopped after {timeout} s\n")
        return None
    secs = time.perf_counter() - start
    if proc.returncode != 0:
        sys.stderr.write(f"{' '.join(cmd)}: exit {proc.returncode}\n"
                         f"{err.decode(errors='replace')[-400:]}\n")
        if may_fail:
            return None
        sys.exit(1)
    with open(report) as f:
        kib, user, system = f.read().split()[-3:]
    return secs, int(kib) / 1024, float(user) + float(system)


def best(cmd, runs, may_fail=False, timeout=None):
    results = []
    for _ in range(runs):
        results.append(run(cmd, may_fail=may_fail, timeout=timeout))
        if results[-1] is None:
            return None
    return min(r[0] for r in results), max(r[1] for r in results), min(r[2] for r in results)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return struct.unpack(">II", head[16:24])


class Table:
    def __init__(self, before, peer):
        self.before, self.peer = before, peer
        cols = f"{'task':9} {'file':10} {'MB':>7} | {'s':>6} {'cpu s':>6} {'MB/s':>7} {'MiB':>6}"
        if before:
            cols += f" | {'before s':>8} {'cpu s':>6} {'MB/s':>7} {'MiB':>6} {'speed-up':>8}"
        if peer:
            cols += f" | {'peer s':>7} {'MB/s':>7} {'MiB':>6} {'x peer':>7}"
        print(cols)
        print("-" * len(cols))

    def row(self, task, name, size, ours, before=None, peer=None):
        mb = size / MB
        line = f"{task:9} {name:10} {mb:7.1f} | {ours[0]:6.2f} {ours[2]:6.2f} {mb / ours[0]:7.1f} {ours[1]:6.1f}"
        if self.before:
            if before:
                line += (f" | {before[0]:8.2f} {before[2]:6.2f} {mb / before[0]:7.1f} {before[1]:6.1f}"
                         f" {before[0] / ours[0]:7.2f}x")
            else:
                line += " | " + " " * 40
        if self.peer:
            if peer:
                line += f" | {peer[0]:7.2f} {mb / peer[0]:7.1f} {peer[1]:6.1f} {peer[0] / ours[0]:6.2f}x"
            else:
                line += " |      --  (none or failed)" if task != "measure" and not task.startswith("-j") else " |      --"
        print(line, flush=True)


def generate(work, big):
    files = {}
    gen_plot = os.path.join(HERE, "gen_plot.py")
    files["surface"] = os.path.join(work, "surface.plt")
    subprocess.run([sys.executable, os.path.join(HERE, "gen_surface.py"), files["surface"],
                    "--mb", "60"], check=True)
    if big:
        files["surface600"] = os.path.join(work, "surface600.plt")
        subprocess.run([sys.executable, os.path.join(HERE, "gen_surface.py"),
                        files["surface600"], "--mb", "600"], check=True)
    for name, extra in (("polylines", ["--mb", "24"]), ("pe", ["--mb", "12", "--pe"]),
                        ("mixed", ["--mb", "6", "--mixed"])):
        files[name] = os.path.join(work, name + ".plt")
        subprocess.run([sys.executable, gen_plot, files[name]] + extra, check=True)
    return files


def peer_png_options(plot, width, height, work):
    """hp2xx options giving a width x height PNG: 254 dpi makes a pixel 0.1 mm;
    the box (-w, -h) is left a little wide so that the height decides the
    scale, and -a stretches the drawing across (hp2xx keeps the plot's own
    aspect otherwise), corrected until the pixels agree."""
    probe = os.path.join(work, "probe.png")
    w, h, aspect = width / 10 + 5, height / 10, 1.0
    opts = []
    for _ in range(8):
        opts = ["hp2xx", "-q", "-m", "png", "-d", "254", "-w", f"{w:.2f}", "-h", f"{h:.2f}",
                "-a", f"{aspect:.5f}"]
        subprocess.run(opts + ["-f", probe, plot], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        pw, ph = png_size(probe)
        if (pw, ph) == (width, height):
            break
        h += (height - ph) / 10
        aspect *= width / pw
        w = max(w, width / 10 * aspect + 5)
    return opts, png_size(probe)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bin", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--before")
    ap.add_argument("--big", action="store_true")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--only", default="emf,measure,png,jobs")
    ap.add_argument("--png-width", type=int, default=2000)
    ap.add_argument("--peer-timeout", type=float, default=20,
                    help="seconds a peer run may take (it fills hatched areas slowly)")
    args = ap.parse_args()
    tasks = set(args.only.split(","))
    global WORK
    work = WORK = args.work
    os.environ["TESSELLA_CONFIG_DIR"] = os.path.join(work, "config")
    os.makedirs(os.environ["TESSELLA_CONFIG_DIR"], exist_ok=True)
    before = os.path.abspath(args.before) if args.before else None
    peer = shutil.which("hp2xx")
    load = os.getloadavg()
    print(f"tessella: {args.bin}")
    if before:
        print(f"before:   {before}")
    print(f"peer:     {peer or 'hp2xx is not installed (scripts/packages/bench.txt): no peer figures'}")
    print(f"load:     {load[0]:.2f} {load[1]:.2f} {load[2]:.2f} on {os.cpu_count()} cores; "
          f"best of {args.runs} runs, peer and -j best of {min(2, args.runs)}")
    files = generate(work, args.big)
    out = os.path.join(work, "out")
    os.makedirs(out, exist_ok=True)
    peer_runs = min(2, args.runs)
    table = Table(before, peer)

    for name, plot in files.items():
        size = os.path.getsize(plot)
        if "emf" in tasks:
            emf = os.path.join(out, name + ".emf")
            ours = best([args.bin, "-q", plot, "-o", emf], args.runs)
            then = best([before, "-q", plot, "-o", emf], args.runs) if before else None
            theirs = None
            # The peer takes half a minute on the 600 MB file: once is enough.
            if peer:
                theirs = best([peer, "-q", "-m", "svg", "-f", os.path.join(out, name + ".svg"), plot],
                              1 if name == "surface600" else peer_runs, may_fail=True,
                              timeout=args.peer_timeout * (10 if name == "surface600" else 1))
            table.row("emf/svg", name, size, ours, then, theirs)
            for leftover in (emf, os.path.join(out, name + ".log"), os.path.join(out, name + ".svg")):
                if os.path.exists(leftover):
                    os.remove(leftover)
        if "measure" in tasks:
            ours = best([args.bin, "-q", "-E", plot], args.runs)
            then = best([before, "-q", "-E", plot], args.runs) if before else None
            table.row("measure", name, size, ours, then)

    if "png" in tasks:
        plot = files["surface"]
        size = os.path.getsize(plot)
        png = os.path.join(out, "surface.png")
        cmd = [args.bin, "-q", f"-WPNG:{args.png_width}", f"-O:{out}", plot]
        ours = best(cmd, peer_runs)
        width, height = png_size(png)
        then = best([before] + cmd[1:], peer_runs) if before else None
        theirs = None
        if peer:
            opts, (pw, ph) = peer_png_options(plot, width, height, work)
            theirs = best(opts + ["-f", os.path.join(out, "peer.png"), plot], peer_runs, may_fail=True)
            print(f"png: tessella {width} x {height} px (-WPNG:{args.png_width}, with the EMF); "
                  f"peer {pw} x {ph} px ({' '.join(opts[1:])})")
        table.row("png", "surface", size, ours, then, theirs)
        shutil.rmtree(out)
        os.makedirs(out)

    if "jobs" in tasks:
        folder = os.path.join(work, "plots")
        os.makedirs(folder)
        # 200 plots of about 1.2 MB, the four kinds in turn.
        sources = []
        for name in ("surface", "polylines", "pe", "mixed"):
            with open(files[name], "rb") as f:
                sources.append(f.read(1_200_000))
        total = 0
        for i in range(200):
            data = sources[i % 4]
            # Cut at a line end so that every plot ends on a whole command.
            data = data[:data.rindex(b"\n") + 1]
            with open(os.path.join(folder, f"plot{i:03}.plt"), "wb") as f:
                f.write(data)
            total += len(data)
        results = {}
        for label, binary in (("after", args.bin), ("before", before)):
            if not binary:
                continue
            for jobs in (1, 2):
                jout = os.path.join(work, f"j{jobs}")
                results[(label, jobs)] = best([binary, "-q", "-B", "-j", str(jobs), f"-O:{jout}", folder],
                                              peer_runs)
                shutil.rmtree(jout)
        for jobs in (1, 2):
            table.row(f"-j {jobs}", "200 plots", total, results[("after", jobs)],
                      results.get(("before", jobs)))
        one, two = results[("after", 1)][0], results[("after", 2)][0]
        line = f"-j 2 / -j 1: {one / two:.2f}x"
        if before:
            line += f" (before: {results[('before', 1)][0] / results[('before', 2)][0]:.2f}x)"
        print(line)
    load = os.getloadavg()
    print(f"load at the end: {load[0]:.2f} {load[1]:.2f} {load[2]:.2f}")


if __name__ == "__main__":
    main()
