#!/usr/bin/env python3
"""Start-up, memory and idle measurements of the real program on an X server that run.sh has
started (DISPLAY set). Each run gets a folder of its own: the program, its companion libraries,
the note database, and private TMPDIR / XDG_RUNTIME_DIR / XDG_CONFIG_HOME (the single-instance
socket lives in TMPDIR). Cases are interleaved run by run, so that they share the machine's
ups and downs. Every process started here is written to a pid file that run.sh's clean-up reads.
"""
import argparse
import json
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TICKS = os.sysconf("SC_CLK_TCK")
PHASE = re.compile(r"^zettara\.perf: (.+?): ([0-9.]+) ms \(at ([0-9.]+) ms\)")


class Case:
    def __init__(self, name, kind, notes, visible, huge=0, timeout_ms=30000, by_name_only=False,
                 bare=False, arranged=0):
        self.name, self.kind, self.notes, self.visible, self.huge = name, kind, notes, visible, huge
        self.timeout_ms, self.by_name_only = timeout_ms, by_name_only
        # On an X server without a window manager: the program's own cost alone.
        self.bare = bare
        self.arranged = arranged  # notes with a stored window state

    def windows(self):
        return 1 + self.visible  # the main window and every shown note


def all_cases():
    return [
        Case("zettara 1k/20", "zettara", 1000, 20),
        Case("zettara 10k/20", "zettara", 10000, 20),
        Case("zettara 10k/100", "zettara", 10000, 100),
        Case("zettara 10k/100 arranged", "zettara", 10000, 100, arranged=100),
        Case("zettara 100k/20", "zettara", 100000, 20),
        Case("zettara 100k/20 + 1MB texts", "zettara", 100000, 20, huge=5),
        Case("reference 10k/20", "reference", 10000, 20),
        Case("reference 10k/100", "reference", 10000, 100),
        Case("reference 100k/20", "reference", 100000, 20),
        # Under a window manager a thousand windows take it many seconds to manage and unmanage.
        Case("zettara 1k/1000", "zettara", 1000, 1000, timeout_ms=120000),
        Case("reference 1k/1000", "reference", 1000, 1000, timeout_ms=120000),
        Case("zettara 1k/20 no WM", "zettara", 1000, 20, bare=True),
        Case("reference 1k/20 no WM", "reference", 1000, 20, bare=True),
        Case("zettara 1k/1000 no WM", "zettara", 1000, 1000, bare=True),
        Case("reference 1k/1000 no WM", "reference", 1000, 1000, bare=True),
        # A minute or more each: run only when named.
        Case("zettara 10k/10000", "zettara", 10000, 10000, timeout_ms=300000, by_name_only=True),
        Case("reference 10k/10000", "reference", 10000, 10000, timeout_ms=300000,
             by_name_only=True),
        Case("zettara 10k/10000 no WM", "zettara", 10000, 10000, timeout_ms=300000,
             by_name_only=True, bare=True),
        Case("reference 10k/10000 no WM", "reference", 10000, 10000, timeout_ms=300000,
             by_name_only=True, bare=True),
    ]


def proc_stat_cpu_ms(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000.0 / TICKS  # utime + stime


def quiet_after(pid, still_s=0.3, limit_s=60.0):
    """When the process last used CPU before a pause of still_s: mapped is not drawn, and a
    program that maps every window before it paints any is not done at its "ready"."""
    last_cpu, last_change = proc_stat_cpu_ms(pid), time.monotonic()
    deadline = last_change + limit_s
    while time.monotonic() - last_change < still_s and time.monotonic() < deadline:
        time.sleep(0.01)
        cpu = proc_stat_cpu_ms(pid)
        if cpu != last_cpu:
            last_cpu, last_change = cpu, time.monotonic()
    return last_change


def context_switches(pid):
    """Voluntary + involuntary switches summed over every thread of the process."""
    total = 0
    for tid in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{tid}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass  # a thread that ended meanwhile
    return total


def rss_parts_mb(pid):
    """Resident memory by what it is made of, from /proc/PID/smaps: "shm" the shared-memory
    segments (the X backing stores of the windows under MIT-SHM), "heap" the anonymous memory
    (the heap, thread stacks: widgets, Qt's window objects, the list), "files" mapped files
    (libraries, fonts)."""
    parts = {"shm": 0, "heap": 0, "files": 0}
    kind = None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            fields = line.split()
            if "-" in fields[0] and not fields[0].endswith(":"):
                path = fields[5] if len(fields) > 5 else ""
                kind = ("shm" if path.startswith(("/SYSV", "/memfd:", "/dev/shm")) else
                        "heap" if not path.startswith("/") else "files")
            elif fields[0] == "Rss:":
                parts[kind] += int(fields[1])
    return {k: v / 1024.0 for k, v in parts.items()}


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


class Runner:
    def __init__(self, args):
        self.args = args
        self.work = tempfile.mkdtemp(prefix="zettara-bench-", dir=args.work)
        self.pidfile = args.pidfile
        self.dbs = {}

    def remember(self, pid):
        if self.pidfile:
            with open(self.pidfile, "a") as f:
                f.write(f"{pid}\n")

    def database(self, case):
        key = (case.notes, case.visible, case.huge, case.arranged)
        if key not in self.dbs:
            path = os.path.join(self.work, f"notes-{case.notes}-{case.visible}-{case.huge}-"
                                           f"{case.arranged}.mdb")
            # Every shown note has a place, as every reference window has.
            cmd = [sys.executable, os.path.join(HERE, "make_notes.py"), path, str(case.notes),
                   str(case.visible), "--placed", str(max(100, case.visible))]
            if case.huge:
                cmd += ["--huge", str(case.huge)]
            if case.arranged:
                cmd += ["--arranged", str(case.arranged)]
            subprocess.run(cmd, check=True)
            self.dbs[key] = path
        return self.dbs[key]

    def instance(self, case, run):
        folder = os.path.join(self.work, f"{case.name.replace(' ', '_').replace('/', '-')}-{run}")
        os.makedirs(folder)
        env = dict(os.environ)
        if case.bare:
            env["DISPLAY"] = self.args.bare_display
        for var, sub in (("TMPDIR", "tmp"), ("XDG_RUNTIME_DIR", "runtime"),
                         ("XDG_CONFIG_HOME", "config")):
            path = os.path.join(folder, sub)
            os.makedirs(path, mode=0o700)
            env[var] = path
        if case.kind == "zettara":
            for name in ("Zettara", "libUpdate.so", "libSendComment.so"):
                shutil.copy2(os.path.join(self.args.bin, name), folder)
            shutil.copy2(self.database(case), os.path.join(folder, "Zettara.mdb"))
            cmd = [os.path.join(folder, "Zettara")]
            env["QT_LOGGING_RULES"] = "zettara.perf.debug=true"
            env["QT_MESSAGE_PATTERN"] = "%{category}: %{message}"
        else:
            cmd = [self.args.reference, str(case.notes), str(case.visible)]
            if case.visible > 100:
                cmd.append("grid")  # as many windows on screen as the notes have
        return folder, cmd, env

    def run_once(self, case, run):
        folder, cmd, env = self.instance(case, run)
        log = open(os.path.join(folder, "stderr.log"), "w+")
        watch = subprocess.Popen([self.args.watch, str(case.windows()), str(case.timeout_ms), *cmd], env=env,
                                 cwd=folder, stdout=subprocess.PIPE, stderr=log, text=True)
        self.remember(watch.pid)
        result = {"case": case.name, "run": run}
        pid = None
        try:
            pid = int(watch.stdout.readline().split()[1])
            self.remember(pid)
            line = watch.stdout.readline().split()
            if not line or line[0] != "ready":
                result["error"] = "did not become ready: " + " ".join(line)
                return result
            ready_at = time.monotonic()
            result["ready_ms"] = float(line[1])
            result["quiet_ms"] = result["ready_ms"] + 1000.0 * (quiet_after(pid) - ready_at)
            time.sleep(self.args.settle)
            result["peak_rss_mb"] = status_kb(pid, "VmHWM") / 1024.0
            result["settled_rss_mb"] = status_kb(pid, "VmRSS") / 1024.0
            result["rss_parts_mb"] = rss_parts_mb(pid)
            if self.args.idle > 0:
                # The update tick fires 2 s after the main window is created, then a check
                # that gives up at once offline; start well after it.
                time.sleep(max(0.0, ready_at + self.args.idle_start - time.monotonic()))
                cpu0, csw0 = proc_stat_cpu_ms(pid), context_switches(pid)
                time.sleep(self.args.idle)
                cpu1, csw1 = proc_stat_cpu_ms(pid), context_switches(pid)
                result["idle_cpu_ms"] = cpu1 - cpu0
                result["idle_switches"] = csw1 - csw0
            result["threads"] = len(os.listdir(f"/proc/{pid}/task"))
        except (OSError, ValueError, IndexError) as error:
            result["error"] = str(error)
        finally:
            if pid:
                try:
                    os.kill(pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
            try:
                watch.wait(5)
            except subprocess.TimeoutExpired:
                if pid:
                    try:
                        os.kill(pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
                watch.kill()
                watch.wait()
            if self.pidfile:
                open(self.pidfile, "w").close()  # nothing of this run is left to stop
            log.seek(0)
            phases = {}
            for text in log:
                m = PHASE.match(text)
                if m:
                    phases[m.group(1)] = float(m.group(2))
            if phases:
                result["phases_ms"] = phases
            log.close()
            if not self.args.keep:
                shutil.rmtree(folder, ignore_errors=True)
        return result

    def close(self):
        if not self.args.keep:
            shutil.rmtree(self.work, ignore_errors=True)


METRICS = [("ready_ms", "start-to-ready ms"), ("quiet_ms", "start-to-quiet ms"),
           ("peak_rss_mb", "peak RSS MB"),
           ("settled_rss_mb", "settled RSS MB"), ("idle_cpu_ms", "idle CPU ms/10s"),
           ("idle_switches", "idle ctx sw/10s")]


def summarise(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "n": len(values)}


def summary(results, cases):
    out = {}
    for case in cases:
        runs = [r for r in results if r["case"] == case.name and "error" not in r]
        entry = {"runs": len(runs),
                 "errors": [r["error"] for r in results if r["case"] == case.name and "error" in r]}
        for key, _ in METRICS:
            values = [r[key] for r in runs if key in r]
            if values:
                entry[key] = summarise(values)
        for part in ("shm", "heap", "files"):
            values = [r["rss_parts_mb"][part] for r in runs if "rss_parts_mb" in r]
            if values:
                entry.setdefault("rss_parts_mb", {})[part] = summarise(values)
        phase_names = []
        for r in runs:
            for name in r.get("phases_ms", {}):
                if name not in phase_names:
                    phase_names.append(name)
        if phase_names:
            entry["phases_ms"] = {n: summarise([r["phases_ms"][n] for r in runs
                                                if n in r.get("phases_ms", {})])
                                  for n in phase_names}
        out[case.name] = entry
    return out


def fmt(stat):
    if not stat:
        return "-"
    digits = 0 if stat["median"] >= 100 else 1
    return f"{stat['median']:.{digits}f} ({stat['min']:.{digits}f}-{stat['max']:.{digits}f})"


def table(summ):
    header = ["case"] + [title for _, title in METRICS]
    rows = [header, ["---"] * len(header)]
    for name, entry in summ.items():
        rows.append([name] + [fmt(entry.get(key)) for key, _ in METRICS])
    lines = ["| " + " | ".join(r) + " |" for r in rows]
    phase_rows = []
    for name, entry in summ.items():
        for phase, stat in entry.get("phases_ms", {}).items():
            phase_rows.append(f"| {name} | {phase} | {fmt(stat)} |")
    if phase_rows:
        lines += ["", "In-process phases (zettara.perf, ms since the previous phase):", "",
                  "| case | phase | ms |", "| --- | --- | --- |"] + phase_rows
    return "\n".join(lines)


def ratios(summ):
    """Median start-to-ready and settled RSS of each program case over the reference case of
    the same size."""
    lines = ["| case | ratio to reference (median start-to-ready) | (start-to-quiet) "
             "| (median settled RSS) |", "| --- | --- | --- | --- |"]
    for name, entry in summ.items():
        ref = summ.get(name.replace("zettara ", "reference ", 1), {})
        if not name.startswith("zettara ") or "ready_ms" not in ref or "ready_ms" not in entry:
            continue
        rss = "-"
        if "settled_rss_mb" in ref and "settled_rss_mb" in entry:
            rss = f"{entry['settled_rss_mb']['median'] / ref['settled_rss_mb']['median']:.2f}"
        quiet = "-"
        if "quiet_ms" in ref and "quiet_ms" in entry:
            quiet = f"{entry['quiet_ms']['median'] / ref['quiet_ms']['median']:.2f}"
        lines.append(f"| {name} | {entry['ready_ms']['median'] / ref['ready_ms']['median']:.2f} "
                     f"| {quiet} | {rss} |")
    return "\n".join(lines)


def window_costs(summ, cases):
    """What one more shown note window adds to the settled memory, part by part: the median of
    a case with many shown notes less that of the case with the same notes and fewer shown,
    over the difference in windows."""
    lines = ["| pair | windows | settled RSS KB / window | shm | heap | files |",
             "| --- | --- | --- | --- | --- | --- |"]
    for many in cases:
        few = next((c for c in cases if c.kind == many.kind and c.notes == many.notes
                    and c.bare == many.bare and c.huge == many.huge and c.arranged == many.arranged
                    and c.visible < many.visible), None)
        a, b = summ.get(many.name, {}), summ.get(few.name, {}) if few else {}
        if not few or "settled_rss_mb" not in a or "settled_rss_mb" not in b:
            continue
        extra = many.visible - few.visible
        per = lambda x, y: (x["median"] - y["median"]) * 1024.0 / extra
        row = [f"{many.name} − {few.name}", str(extra),
               f"{per(a['settled_rss_mb'], b['settled_rss_mb']):.1f}"]
        for part in ("shm", "heap", "files"):
            pa, pb = a.get("rss_parts_mb", {}).get(part), b.get("rss_parts_mb", {}).get(part)
            row.append(f"{per(pa, pb):.1f}" if pa and pb else "-")
        lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines) if len(lines) > 2 else ""


def micro_summary(path):
    """Median wall and CPU time per case of a Google Benchmark JSON file."""
    if not path or not os.path.exists(path):
        return {}
    with open(path) as f:
        data = json.load(f)
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    out = {}
    for b in data.get("benchmarks", []):
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        unit = scale[b.get("time_unit", "ns")]
        out[name] = {"real_ms": b["real_time"] * unit, "cpu_ms": b["cpu_time"] * unit}
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("--watch", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--pidfile")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--cases", default="all", help="comma-separated case names, or 'all'")
    parser.add_argument("--settle", type=float, default=2.0)
    parser.add_argument("--idle", type=float, default=10.0)
    parser.add_argument("--idle-start", type=float, default=4.0)
    parser.add_argument("--pause", type=float, default=0.5, help="seconds between instances")
    parser.add_argument("--keep", action="store_true")
    parser.add_argument("--work", help="folder for databases and program folders")
    parser.add_argument("--micro", help="Google Benchmark JSON output to include")
    parser.add_argument("--bare-display", help="an X server without a window manager")
    args = parser.parse_args()

    cases = all_cases()
    if args.cases != "all":
        wanted = [c.strip() for c in args.cases.split(",")]
        cases = [c for c in cases if c.name in wanted]
    else:
        cases = [c for c in cases if not c.by_name_only]
    if not args.bare_display:
        cases = [c for c in cases if not c.bare]
    runner = Runner(args)
    results = []
    try:
        for case in cases:
            runner.database(case)
        for run in range(1, args.runs + 1):
            # Each run starts with another case, so that no case always follows the same one.
            shift = (run - 1) % len(cases)
            for case in cases[shift:] + cases[:shift]:
                time.sleep(args.pause)
                result = runner.run_once(case, run)
                results.append(result)
                shown = result.get("error") or f"{result['ready_ms']:.1f} ms"
                print(f"  run {run}/{args.runs} {case.name}: {shown}", file=sys.stderr)
    finally:
        runner.close()

    summ = summary(results, cases)
    machine = {"cpus": os.cpu_count(), "uname": " ".join(os.uname())}
    try:
        with open("/proc/cpuinfo") as f:
            machine["cpu"] = next(l.split(":", 1)[1].strip() for l in f
                                  if l.startswith("model name"))
    except (OSError, StopIteration):
        pass
    micro = micro_summary(args.micro)
    os.makedirs(os.path.dirname(args.out), exist_ok=True)
    with open(args.out, "w") as f:
        json.dump({"machine": machine, "runs": args.runs, "idle_seconds": args.idle,
                   "summary": summ, "micro_ms": micro, "results": results}, f, indent=2,
                  ensure_ascii=False)
    print(table(summ))
    print("\n" + ratios(summ))
    costs = window_costs(summ, cases)
    if costs:
        print("\nMemory of one shown note window (settled RSS, by kind):\n\n" + costs)
    if micro:
        print("\nIn-process list cases (Google Benchmark, offscreen, ms per operation):\n")
        print("| case | wall ms | CPU ms |\n| --- | --- | --- |")
        for name, value in micro.items():
            print(f"| {name} | {value['real_ms']:.2f} | {value['cpu_ms']:.2f} |")
    failed = [r for r in results if "error" in r]
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
