#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Mutation check: puts one small fault at a time into a scratch copy of the committed tree, rebuilds,
runs the tests that should notice it and reports which faults the tests kill and which survive.

Usage: tools/mutation/run.py [options] [filter ...]
Each filter is a regular expression searched in the mutant ids; without one, every mutant runs.
The list of faults is tools/mutation/mutants.txt; docs/testing.md explains its format.
"""

import argparse
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tarfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FIELDS = ("file", "tests", "breaks", "find", "replace")
SUBSYSTEMS = {"app": "shell", "render": "render", "audio": "audio", "game": "game"}


class Mutant:
    """One entry of the list and what became of it; its fields (file, tests, ...) read as attributes."""

    def __init__(self, ident, line):
        self.ident = ident
        # Where the entry starts in the list, for messages.
        self.line = line
        # The entry's fields by name.
        self.values = {}
        # pending, then killed, survived, stale, invalid or no-baseline.
        self.status = "pending"
        # Time spent building and testing it.
        self.seconds = 0.0
        # What killed it: the first failing test, or a timeout.
        self.note = ""

    def __getattr__(self, name):
        if name in FIELDS:
            return self.values[name]
        raise AttributeError(name)

    @property
    def subsystem(self):
        return SUBSYSTEMS.get(self.file.split("/")[0], "other")


def parse_list(path):
    """Reads the mutant list: "[id]" opens an entry, then "key: value" lines; "#" starts a comment."""
    mutants = []
    with open(path, encoding="utf-8") as text:
        for number, raw in enumerate(text, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            opening = re.fullmatch(r"\[([A-Za-z0-9_.-]+)\]", line.strip())
            if opening:
                mutants.append(Mutant(opening.group(1), number))
                continue
            key, colon, value = line.partition(":")
            if not mutants or not colon or key not in FIELDS:
                sys.exit(f"{path}:{number}: expected '[id]' or one of {', '.join(FIELDS)} followed by ':'")
            # One blank after the colon belongs to the syntax; everything after it is the value.
            mutants[-1].values[key] = value[1:] if value.startswith(" ") else value
    seen = set()
    for mutant in mutants:
        missing = [field for field in FIELDS if field not in mutant.values]
        if missing:
            sys.exit(f"{path}:{mutant.line}: [{mutant.ident}] lacks {', '.join(missing)}")
        if mutant.find == mutant.replace or not mutant.find:
            sys.exit(f"{path}:{mutant.line}: [{mutant.ident}] changes nothing")
        if mutant.ident in seen:
            sys.exit(f"{path}:{mutant.line}: [{mutant.ident}] appears twice")
        seen.add(mutant.ident)
    return mutants


def log(message):
    print(message, flush=True)


def run(command, log_path, timeout, **options):
    """Runs a command in its own process group with its output appended to a log; returns its exit
    status, or None when it ran out of time."""
    with open(log_path, "ab") as output:
        output.write(("$ " + " ".join(shlex.quote(part) for part in command) + "\n").encode())
        output.flush()
        process = subprocess.Popen(command, stdout=output, stderr=subprocess.STDOUT, start_new_session=True,
                                   **options)
        try:
            status = process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            status = None
    return status


def sync_tree(repository, revision, source):
    """Makes the scratch source folder hold exactly the committed tree, rewriting only files whose
    content differs so that the build stays incremental from one run to the next."""
    archive = subprocess.Popen(["git", "-C", repository, "archive", "--format=tar", revision],
                               stdout=subprocess.PIPE)
    wanted = set()
    with tarfile.open(fileobj=archive.stdout, mode="r|") as tar:
        for member in tar:
            if not member.isfile():
                continue
            path = os.path.join(source, member.name)
            wanted.add(os.path.normpath(path))
            content = tar.extractfile(member).read()
            if os.path.isfile(path):
                with open(path, "rb") as existing:
                    if existing.read() == content:
                        continue
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as out:
                out.write(content)
            os.chmod(path, member.mode & 0o777)
    if archive.wait() != 0:
        sys.exit(f"git archive {revision} failed")
    for folder, _, files in os.walk(source):
        for name in files:
            path = os.path.normpath(os.path.join(folder, name))
            if path not in wanted:
                os.remove(path)


def build_targets(build, selection):
    """The build targets that the selected tests run: every program of the build tree that a test
    command names, found from CTest's own description of the tests."""
    listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"] + selection,
                             capture_output=True, text=True, check=True)
    targets = set()
    for test in json.loads(listing.stdout).get("tests", []):
        for part in test.get("command", []):
            if part.startswith(os.path.abspath(build) + "/") and os.access(part, os.X_OK):
                targets.add(os.path.basename(part))
    return sorted(targets)


def first_failure(log_path):
    """The name of the first test that CTest reports as failed in a log, or "" if there is none."""
    with open(log_path, encoding="utf-8", errors="replace") as text:
        for line in text:
            failed = re.search(r"Test\s+#\d+: (\S+) \.*\s*\*\*\*(\w+)", line)
            if failed:
                return f"{failed.group(1)} ({failed.group(2).lower()})"
    return ""


class Scratch:
    """The scratch folder of a run: a copy of the committed tree in src/, its build in build/, the
    output of every step in logs/ and the results in results.txt."""

    def __init__(self, work, jobs):
        self.work = os.path.abspath(work)
        self.source = os.path.join(self.work, "src")
        self.build = os.path.join(self.work, "build")
        self.logs = os.path.join(self.work, "logs")
        self.jobs = jobs
        self.environment = dict(os.environ, CCACHE_BASEDIR=self.work)
        # Per test selection: its CTest options, the programs it runs, the clean run's seconds, and
        # whether the clean run passed.
        self.selections = {}
        self.originals = {}

    def prepare(self, repository, revision):
        """Copies the tree and notes the original of every file a mutant changes."""
        os.makedirs(self.source, exist_ok=True)
        shutil.rmtree(self.logs, ignore_errors=True)
        os.makedirs(self.logs)
        log(f"Copying {revision} to {self.source}")
        sync_tree(repository, revision, self.source)

    def mark_stale(self, mutants):
        """Marks the mutants whose file is gone or whose text no longer occurs exactly once."""
        for mutant in mutants:
            path = os.path.join(self.source, mutant.file)
            if not os.path.isfile(path):
                mutant.status = "stale"
                continue
            if path not in self.originals:
                with open(path, encoding="utf-8") as text:
                    self.originals[path] = text.read()
            if self.originals[path].count(mutant.find) != 1:
                mutant.status = "stale"

    def build_all(self):
        if not os.path.isfile(os.path.join(self.build, "CMakeCache.txt")):
            configure = ["cmake", "-S", self.source, "-B", self.build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                         "-DMARROWGATE_BENCHMARKS=OFF"]
            if shutil.which("ccache"):
                configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
            log("Configuring")
            if self.run(configure, "configure.log", None) != 0:
                sys.exit(f"configuring failed: see {self.logs}/configure.log")
        log("Building the unchanged tree")
        if self.run(["cmake", "--build", self.build, "-j" + self.jobs], "build.log", None) != 0:
            sys.exit(f"the unchanged tree does not build: see {self.logs}/build.log")

    def clean_runs(self, mutants):
        """Runs each test selection once on the unchanged build; a selection that fails there, or names
        no test (every mutant would survive it), judges nothing."""
        for mutant in mutants:
            if mutant.status == "stale":
                continue
            if mutant.tests not in self.selections:
                selection = shlex.split(mutant.tests)
                targets = build_targets(self.build, selection)
                started = time.monotonic()
                clean = bool(targets) and self.run(self.test_command(selection), "baseline.log", 3600) == 0
                seconds = time.monotonic() - started
                self.selections[mutant.tests] = (selection, targets, seconds, clean)
                log(f"Clean run of [{mutant.tests}]: {'passes' if clean else 'FAILS or finds no test'} "
                    f"in {seconds:.0f} s")
            if not self.selections[mutant.tests][3]:
                mutant.status = "no-baseline"

    def try_mutant(self, mutant, timeout):
        """Builds and tests the tree with one mutant in it, then puts the original back."""
        selection, targets, clean_seconds, _ = self.selections[mutant.tests]
        path = os.path.join(self.source, mutant.file)
        log_name = mutant.ident + ".log"
        started = time.monotonic()
        with open(path, "w", encoding="utf-8") as text:
            text.write(self.originals[path].replace(mutant.find, mutant.replace))
        try:
            if self.run(["cmake", "--build", self.build, "-j" + self.jobs, "--target"] + targets, log_name,
                        1800) != 0:
                mutant.status = "invalid"
            else:
                status = self.run(self.test_command(selection), log_name, timeout or int(3 * clean_seconds + 60))
                mutant.status = "survived" if status == 0 else "killed"
                if status is None:
                    mutant.note = "timeout"
                elif status != 0:
                    mutant.note = first_failure(os.path.join(self.logs, log_name))
        finally:
            # Rewriting the file gives it a new time, so the next build compiles it back.
            with open(path, "w", encoding="utf-8") as text:
                text.write(self.originals[path])
        mutant.seconds = time.monotonic() - started

    def test_command(self, selection):
        # The first failing test is enough to kill a mutant.
        return ([os.path.join(self.source, "tools", "run-tests.sh"), self.build, "--stop-on-failure", "--timeout",
                 "120"] + selection)

    def run(self, command, log_name, timeout):
        return run(command, os.path.join(self.logs, log_name), timeout, env=self.environment)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("filters", nargs="*", help="regular expressions for the mutant ids to run")
    parser.add_argument("--list", default=os.path.join(HERE, "mutants.txt"), help="the mutant list")
    parser.add_argument("--work", default=os.environ.get("MUTATION_WORK", "/tmp/marrowgate-mutation"),
                        help="scratch folder for the source copy, the build and the logs")
    parser.add_argument("--rev", default="HEAD", help="the committed tree to mutate (default HEAD)")
    parser.add_argument("--jobs", default="2", help="parallel build jobs (default 2)")
    parser.add_argument("--timeout", type=int, default=0,
                        help="seconds a mutant's tests may take (default: three times the clean run plus 60)")
    parser.add_argument("--check", action="store_true", help="only check that every mutant applies")
    args = parser.parse_args()

    mutants = parse_list(args.list)
    if args.filters:
        mutants = [m for m in mutants if any(re.search(f, m.ident) for f in args.filters)]
    if not mutants:
        sys.exit("no mutant matches")
    repository = subprocess.run(["git", "-C", HERE, "rev-parse", "--show-toplevel"], capture_output=True,
                                text=True, check=True).stdout.strip()
    revision = subprocess.run(["git", "-C", repository, "rev-parse", "--short", args.rev], capture_output=True,
                              text=True, check=True).stdout.strip()
    started = time.monotonic()
    scratch = Scratch(args.work, args.jobs)
    scratch.prepare(repository, revision)
    scratch.mark_stale(mutants)
    if args.check:
        for mutant in mutants:
            log(f"{mutant.ident:34} {'stale' if mutant.status == 'stale' else 'applies'}")
        return 1 if any(m.status == "stale" for m in mutants) else 0

    scratch.build_all()
    scratch.clean_runs(mutants)
    log(f"\n{'mutant':34} {'subsystem':9} {'result':9} seconds")
    try:
        for mutant in mutants:
            if mutant.status == "pending":
                scratch.try_mutant(mutant, args.timeout)
            log(f"{mutant.ident:34} {mutant.subsystem:9} {mutant.status:11} {mutant.seconds:5.0f}  {mutant.note}")
    finally:
        write_results(os.path.join(scratch.work, "results.txt"), mutants, revision, time.monotonic() - started)
    log(f"\nResults in {scratch.work}/results.txt; logs in {scratch.logs}")
    return 0


def write_results(path, mutants, revision, seconds):
    counts = {}
    for mutant in mutants:
        counts.setdefault(mutant.subsystem, {}).setdefault(mutant.status, 0)
        counts[mutant.subsystem][mutant.status] += 1
    lines = [f"Mutation check of {revision}, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, "
             f"{seconds / 60:.0f} minutes", "",
             f"{'subsystem':9} {'mutants':>7} {'killed':>6} {'survived':>8} {'stale':>5} {'invalid':>7} "
             f"{'other':>5}"]
    for subsystem in sorted(counts) + ["all"]:
        c = {}
        for name, statuses in counts.items():
            if subsystem in (name, "all"):
                for status, number in statuses.items():
                    c[status] = c.get(status, 0) + number
        known = c.get("killed", 0) + c.get("survived", 0) + c.get("stale", 0) + c.get("invalid", 0)
        lines.append(f"{subsystem:9} {sum(c.values()):7} {c.get('killed', 0):6} {c.get('survived', 0):8} "
                     f"{c.get('stale', 0):5} {c.get('invalid', 0):7} {sum(c.values()) - known:5}")
    judged = sum(1 for m in mutants if m.status in ("killed", "survived"))
    killed = sum(1 for m in mutants if m.status == "killed")
    if judged:
        lines.append(f"\nKilled {killed} of {judged} mutants that built and ran: {100.0 * killed / judged:.1f}%")
    lines.append("")
    for mutant in mutants:
        lines.append(f"{mutant.status:11} {mutant.ident:34} {mutant.seconds:5.0f} s  {mutant.breaks}")
        if mutant.note:
            lines.append(f"{'':11} {'':34} {'':7}  by {mutant.note}")
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")
    print("\n" + "\n".join(lines), flush=True)


if __name__ == "__main__":
    sys.exit(main())
