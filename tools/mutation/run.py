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
    def __init__(self, ident, line):
        self.ident = ident
        self.line = line
        self.values = {}
        self.status = "pending"
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
    """Runs a command in its own process group with its output in a log; returns (exit status or None
    on timeout, seconds)."""
    started = time.monotonic()
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
    return status, time.monotonic() - started


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

    repository = subprocess.run(["git", "-C", HERE, "rev-parse", "--show-toplevel"], capture_output=True,
                                text=True, check=True).stdout.strip()
    mutants = parse_list(args.list)
    if args.filters:
        mutants = [m for m in mutants if any(re.search(f, m.ident) for f in args.filters)]
    if not mutants:
        sys.exit("no mutant matches")

    work = os.path.abspath(args.work)
    source = os.path.join(work, "src")
    build = os.path.join(work, "build")
    logs = os.path.join(work, "logs")
    os.makedirs(source, exist_ok=True)
    shutil.rmtree(logs, ignore_errors=True)
    os.makedirs(logs)
    started = time.monotonic()
    revision = subprocess.run(["git", "-C", repository, "rev-parse", "--short", args.rev], capture_output=True,
                              text=True, check=True).stdout.strip()
    log(f"Copying {args.rev} ({revision}) to {source}")
    sync_tree(repository, args.rev, source)

    originals = {}
    for mutant in mutants:
        path = os.path.join(source, mutant.file)
        if not os.path.isfile(path):
            mutant.status = "stale"
            continue
        if path not in originals:
            with open(path, encoding="utf-8") as text:
                originals[path] = text.read()
        if originals[path].count(mutant.find) != 1:
            mutant.status = "stale"
    if args.check:
        for mutant in mutants:
            log(f"{mutant.ident:34} {'stale' if mutant.status == 'stale' else 'applies'}")
        return 1 if any(m.status == "stale" for m in mutants) else 0

    environment = dict(os.environ, CCACHE_BASEDIR=work)
    if not os.path.isfile(os.path.join(build, "CMakeCache.txt")):
        configure = ["cmake", "-S", source, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                     "-DMARROWGATE_BENCHMARKS=OFF"]
        if shutil.which("ccache"):
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        log("Configuring")
        if run(configure, os.path.join(logs, "configure.log"), None, env=environment)[0] != 0:
            sys.exit(f"configuring failed: see {logs}/configure.log")
    log("Building the unchanged tree")
    if run(["cmake", "--build", build, "-j" + args.jobs], os.path.join(logs, "build.log"), None,
           env=environment)[0] != 0:
        sys.exit(f"the unchanged tree does not build: see {logs}/build.log")

    run_tests = [os.path.join(source, "tools", "run-tests.sh"), build]
    # The first failing test is enough to kill a mutant.
    ctest_options = ["--stop-on-failure", "--timeout", "120"]
    selections = {}
    for mutant in mutants:
        if mutant.status == "stale":
            continue
        key = mutant.tests
        if key not in selections:
            selection = shlex.split(key)
            targets = build_targets(build, selection)
            # A selection that names no test would let every mutant survive.
            status, seconds = (run(run_tests + ctest_options + selection, os.path.join(logs, "baseline.log"),
                                   3600, env=environment) if targets else (None, 0.0))
            clean = status == 0
            selections[key] = (selection, targets, seconds, clean)
            log(f"Clean run of [{key}]: {'passes' if clean else 'FAILS or finds no test'} in {seconds:.0f} s")
        selection, targets, clean_seconds, clean = selections[key]
        if not clean:
            mutant.status = "no-baseline"

    results_path = os.path.join(work, "results.txt")
    log(f"\n{'mutant':34} {'subsystem':9} {'result':9} seconds")
    try:
        for mutant in mutants:
            if mutant.status != "pending":
                log(f"{mutant.ident:34} {mutant.subsystem:9} {mutant.status:9}")
                continue
            selection, targets, clean_seconds, _ = selections[mutant.tests]
            path = os.path.join(source, mutant.file)
            mutant_log = os.path.join(logs, mutant.ident + ".log")
            with open(path, "w", encoding="utf-8") as text:
                text.write(originals[path].replace(mutant.find, mutant.replace))
            try:
                status, build_seconds = run(["cmake", "--build", build, "-j" + args.jobs, "--target"] + targets,
                                            mutant_log, 1800, env=environment)
                if status != 0:
                    mutant.status = "invalid"
                    mutant.seconds = build_seconds
                else:
                    limit = args.timeout or int(3 * clean_seconds + 60)
                    status, test_seconds = run(run_tests + ctest_options + selection, mutant_log, limit,
                                               env=environment)
                    mutant.status = "survived" if status == 0 else "killed"
                    mutant.seconds = build_seconds + test_seconds
                    if status is None:
                        mutant.note = "timeout"
                    elif status != 0:
                        mutant.note = first_failure(mutant_log)
            finally:
                # Rewriting the file gives it a new time, so the next build compiles it back.
                with open(path, "w", encoding="utf-8") as text:
                    text.write(originals[path])
            log(f"{mutant.ident:34} {mutant.subsystem:9} {mutant.status:9} {mutant.seconds:5.0f}  {mutant.note}")
    finally:
        write_results(results_path, mutants, revision, time.monotonic() - started)
    log(f"\nResults in {results_path}; logs in {logs}")
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
