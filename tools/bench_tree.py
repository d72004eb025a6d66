#!/usr/bin/env python3
"""Runs one command and measures its whole process tree: wall time, CPU time and peak memory.

    tools/bench_tree.py [--out FILE] [--interval 0.05] [--grace 5]
                        [--stdin F] [--stdout F] [--stderr F] -- COMMAND [ARG...]

The command runs in a session of its own. This process makes itself a child
subreaper, so whatever the command starts stays below it even when its parent
ends first or it starts a session of its own (an office behind a shell script
and its splash program, Ghostscript, a daemon that forks twice): every such
process is reaped here or by one of its ancestors in the tree.

Written to FILE (standard error without --out), one "name value" a line:
  wall       seconds from the start until the command itself ended
  cpu        user + system CPU seconds of every process of the tree, from
             getrusage(RUSAGE_CHILDREN) once all of them were reaped; a process
             counts once, in the parent that reaped it
  user, sys  the two parts of cpu
  cpu_seen   the same sum from /proc samples of each process; it misses the
             last interval of each process and processes shorter than one, so it
             is a little lower than cpu. Higher means some process of the tree was
             not reaped by a waiting parent (its parent ignored SIGCHLD): a warning
             is written to standard error
  cpu_seen_by_name  the same per process name (name:seconds, 0.05 s and up)
  peak_pss   MB: the largest sum over the tree's processes of their proportional
             set size (/proc/PID/smaps_rollup) at one sample; shared pages count
             once, split among those that share them
  peak_rss   MB: the same with resident set sizes (shared pages count in each)
  peak_pss_by_name  name:MB for each process name, the largest PSS sum of
             the processes of that name (the peaks need not coincide)
  procs      processes the tree had (those that lived long enough to be seen are named in "names")
  lingered   processes still running "grace" seconds after the command ended;
             they are ended (SIGTERM, then SIGKILL) and still counted
  outside    processes started during the run by init, cupsd, dbus-daemon or
             systemd whose names hint at work for the tree (office, Ghostscript,
             CUPS filters): such work escapes the measures. On a shared machine
             they may belong to someone else
  samples    how many samples were taken: one every interval, or less often
             when a sample costs more than 1/20 of the interval in CPU
  sampler_cpu  CPU seconds this measuring process spent (not in cpu)
  exit       the command's exit status (128 + signal when killed by one)

The exit status is the command's. Only the Python standard library is used.
"""

import argparse
import ctypes
import os
import re
import resource
import signal
import sys
import time

PR_SET_CHILD_SUBREAPER = 36
TICK = os.sysconf("SC_CLK_TCK")
HELPERS = re.compile(r"soffice|oosplash|javaldx|^gs|ghostscript|pdfto|gsto|foomatic|cups")
DAEMONS = {"init", "systemd", "cupsd", "dbus-daemon"}
SHARE = 20
STOPS = {signal.SIGTERM, signal.SIGINT, signal.SIGHUP}


def read_stat(pid):
    """(comm, ppid, cpu ticks, start ticks) of a process, or None once it is gone."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as f:
            raw = f.read().decode("utf-8", "replace")
    except OSError:
        return None
    comm = raw[raw.index("(") + 1:raw.rindex(")")]
    rest = raw[raw.rindex(")") + 2:].split()
    return comm, int(rest[1]), int(rest[11]) + int(rest[12]), int(rest[19])


def read_memory(pid):
    """(PSS, RSS) in kB; zeros for a zombie or a process that is gone."""
    pss = rss = 0
    try:
        with open(f"/proc/{pid}/smaps_rollup", "rb") as f:
            for line in f:
                if line.startswith(b"Pss:"):
                    pss = int(line.split()[1])
                elif line.startswith(b"Rss:"):
                    rss = int(line.split()[1])
    except (OSError, ValueError):
        pass
    return pss, rss


class Tree:
    """The processes below this one, followed by sampling /proc."""

    def __init__(self):
        self.me = os.getpid()
        self.members = {}    # pid -> start ticks, live members of the tree
        self.outsiders = {}  # pid -> start ticks, processes known not to be in it
        self.cpu = {}        # (pid, start) -> last CPU ticks seen
        self.names = {}      # (pid, start) -> name
        self.outside = []
        self.peak_pss = self.peak_rss = 0
        self.samples = 0
        self.peak_by_name = {}  # name -> largest PSS sum of the processes of that name
        self.started = read_stat(self.me)[3]
        for pid in self.pids():
            stat = read_stat(pid)
            if stat:
                self.outsiders[pid] = stat[3]

    @staticmethod
    def pids():
        return [int(n) for n in os.listdir("/proc") if n.isdigit()]

    def sample(self):
        """Reads the tree once; records CPU per process and the memory sums."""
        seen = {}
        fresh = {}
        for pid in self.pids():
            # A process outside the tree never joins it (orphans of the tree are
            # reparented here), so only members and new processes are read. A pid
            # taken again by a new process is read anew once its old owner is gone.
            if pid in self.outsiders:
                seen[pid] = True
                continue
            stat = read_stat(pid)
            if stat is None:
                continue
            seen[pid] = True
            if pid in self.members and self.members[pid] == stat[3]:
                self.record(pid, stat)
            else:
                fresh[pid] = stat
        self.classify(fresh)
        for gone in [p for p in self.members if p not in seen]:
            del self.members[gone]
        for gone in [p for p in self.outsiders if p not in seen]:
            del self.outsiders[gone]
        pss = rss = 0
        by_name = {}
        for pid, start in self.members.items():
            p, r = read_memory(pid)
            pss += p
            rss += r
            name = self.names[(pid, start)]
            by_name[name] = by_name.get(name, 0) + p
        for name, p in by_name.items():
            self.peak_by_name[name] = max(self.peak_by_name.get(name, 0), p)
        self.peak_pss = max(self.peak_pss, pss)
        self.peak_rss = max(self.peak_rss, rss)

    def classify(self, fresh):
        """New processes belong to the tree when their parent is this process or a member."""
        changed = True
        while changed:
            changed = False
            for pid, stat in list(fresh.items()):
                if stat[1] == self.me or stat[1] in self.members:
                    self.members[pid] = stat[3]
                    self.record(pid, stat)
                    del fresh[pid]
                    changed = True
        for pid, stat in fresh.items():
            self.outsiders[pid] = stat[3]
            if stat[3] >= self.started and HELPERS.search(stat[0]):
                parent = read_stat(stat[1])
                if stat[1] == 1 or (parent and parent[0] in DAEMONS):
                    self.outside.append(stat[0])

    def record(self, pid, stat):
        key = (pid, stat[3])
        self.cpu[key] = stat[2]
        self.names[key] = stat[0]

    def signal_all(self, sig):
        for pid in list(self.members):
            try:
                os.kill(pid, sig)
            except ProcessLookupError:
                pass


def spawn(args):
    actions = []
    for fd, path, flags in ((0, args.stdin, os.O_RDONLY),
                            (1, args.stdout, os.O_WRONLY | os.O_CREAT | os.O_TRUNC),
                            (2, args.stderr, os.O_WRONLY | os.O_CREAT | os.O_TRUNC)):
        if path:
            actions.append((os.POSIX_SPAWN_OPEN, fd, path, flags, 0o600))
    return os.posix_spawnp(args.command[0], args.command, os.environ, file_actions=actions, setsid=True,
                           setsigmask=(), setsigdef=(signal.SIGPIPE, signal.SIGXFSZ))


def reap(main, state):
    """Reaps every child that ended; returns False once there are none left."""
    while True:
        try:
            pid, status = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return False
        if pid == 0:
            return True
        if pid == main:
            state["end"] = time.monotonic()
            state["exit"] = os.waitstatus_to_exitcode(status)
            if state["exit"] < 0:
                state["exit"] = 128 - state["exit"]


def stop(main, state, tree):
    """Ends the whole tree at once (this process was asked to stop)."""
    tree.signal_all(signal.SIGKILL)
    if state["end"] is None:
        try:
            os.kill(main, signal.SIGKILL)
        except ProcessLookupError:
            pass


def run(args, tree):
    state = {"end": None, "exit": None}
    ending = None  # when the lingering processes were asked to end
    start = time.monotonic()
    main = spawn(args)
    watched = {signal.SIGCHLD} | STOPS
    deadline = start
    while True:
        cost = time.process_time()
        tree.sample()
        cost = time.process_time() - cost
        tree.samples += 1
        alive = reap(main, state)
        now = time.monotonic()
        if not alive:
            break
        if state["end"] is not None:
            if ending is None and now - state["end"] >= args.grace:
                state["lingered"] = len(tree.members)
                tree.signal_all(signal.SIGTERM)
                ending = now
            elif ending is not None and now - ending >= 3:
                tree.signal_all(signal.SIGKILL)
        # Reading the office's page tables for its PSS takes milliseconds: the
        # gap grows so that sampling takes at most 1/SHARE of one core.
        deadline = max(deadline + max(args.interval, cost * SHARE), now)
        while (left := deadline - time.monotonic()) > 0:
            got = signal.sigtimedwait(watched, left)
            if got is None:
                break
            if got.si_signo in STOPS:
                stop(main, state, tree)
                sys.exit(128 + got.si_signo)
            reap(main, state)
    state["wall"] = state["end"] - start
    return state


def report(args, tree, state, before, before_self):
    children = resource.getrusage(resource.RUSAGE_CHILDREN)
    me = resource.getrusage(resource.RUSAGE_SELF)
    sampler = me.ru_utime + me.ru_stime - before_self
    user = children.ru_utime - before.ru_utime
    system = children.ru_stime - before.ru_stime
    cpu = user + system
    seen = sum(tree.cpu.values()) / TICK
    names = {}
    cpu_by_name = {}
    for key, name in tree.names.items():
        names[name] = names.get(name, 0) + 1
        cpu_by_name[name] = cpu_by_name.get(name, 0) + tree.cpu.get(key, 0) / TICK
    lines = [
        ("wall", f"{state['wall']:.3f}"),
        ("cpu", f"{cpu:.3f}"),
        ("user", f"{user:.3f}"),
        ("sys", f"{system:.3f}"),
        ("cpu_seen", f"{seen:.3f}"),
        ("cpu_seen_by_name", ",".join(f"{n}:{c:.1f}" for n, c in sorted(cpu_by_name.items()) if c >= 0.05) or "-"),
        ("peak_pss", f"{tree.peak_pss / 1024:.1f}"),
        ("peak_rss", f"{tree.peak_rss / 1024:.1f}"),
        ("peak_pss_by_name", ",".join(f"{n}:{p / 1024:.0f}" for n, p in sorted(tree.peak_by_name.items())) or "-"),
        ("procs", str(len(tree.names))),
        ("names", ",".join(f"{n}x{c}" for n, c in sorted(names.items())) or "-"),
        ("lingered", str(state.get("lingered", 0))),
        ("outside", ",".join(tree.outside) or "-"),
        ("samples", str(tree.samples)),
        ("sampler_cpu", f"{sampler:.3f}"),
        ("exit", str(state["exit"])),
    ]
    text = "".join(f"{k} {v}\n" for k, v in lines)
    if args.out:
        with open(args.out, "w") as f:
            f.write(text)
    else:
        sys.stderr.write(text)
    if seen > cpu * 1.03 + 0.2:
        sys.stderr.write(f"bench_tree: {seen - cpu:.2f} CPU seconds of the tree were not reaped by a waiting parent; "
                         "cpu is too low\n")
    if tree.outside:
        sys.stderr.write(f"bench_tree: processes outside the tree during the run: {', '.join(tree.outside)}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out")
    parser.add_argument("--interval", type=float, default=0.05)
    parser.add_argument("--grace", type=float, default=5.0)
    parser.add_argument("--stdin")
    parser.add_argument("--stdout")
    parser.add_argument("--stderr")
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        sys.exit(f"bench_tree: cannot become a child subreaper: {os.strerror(ctypes.get_errno())}")
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGCHLD} | STOPS)
    tree = Tree()
    # Children counted before the command are not its: a launcher that ran
    # programs before it started this interpreter (a version manager's shim)
    # leaves their times here, as the count survives exec.
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    me = resource.getrusage(resource.RUSAGE_SELF)
    state = run(args, tree)
    report(args, tree, state, before, me.ru_utime + me.ru_stime)
    sys.exit(state["exit"])


if __name__ == "__main__":
    main()
