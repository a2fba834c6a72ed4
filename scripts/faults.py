#!/usr/bin/env python3
"""Applies the deliberate faults of scripts/faults.txt one at a time to a
scratch copy of the tree and records whether the tests named for each catch it.

  faults.py --list                  the faults, as parsed
  faults.py --check                 every old text occurs exactly once at HEAD
  faults.py [--only ID[,ID...]] [--out FILE.md] [--no-baseline]

The scratch copy is a detached worktree of HEAD (SCRATCH/src) with one build
tree per configuration (SCRATCH/native, SCRATCH/win), kept between runs so
that only the files a fault touches are compiled again. For each fault the
file is changed, the fault's targets are built, its tests are run (Windows
ones under scripts/headless.sh of the scratch tree, in the Windows build
tree's own Wine prefix) and the file is restored:

  CAUGHT        a named test failed
  MISSED        every named test passed
  BUILD-FAILED  the changed tree did not build
  NO-TESTS      the regex named no test (a mistake in the table)
  BASE-FAILED   the named tests already fail without the fault

Before the faults, each distinct set of tests is run once on the unchanged
tree (skip with --no-baseline), so a failure is only counted when the tests
pass without the fault. Logs: SCRATCH/logs/<id>.log. The worktree stays
registered with git between runs; `git worktree remove --force SCRATCH/src`
and removing SCRATCH take it all away.
"""
import argparse
import fcntl
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FIELDS = ("id", "file", "old", "new", "tree", "targets", "tests", "note")
REQUIRED = ("id", "file", "old", "new", "tree", "targets", "tests")
TREES = ("native", "win")
SCREEN = "1022x766x24"  # as scripts/test.sh: odd row sizes on purpose


def unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            if nxt in "nt\\":
                out.append({"n": "\n", "t": "\t", "\\": "\\"}[nxt])
                i += 2
                continue
        out.append(c)
        i += 1
    return "".join(out)


def parse(path):
    """The records of the table, in order; exits on a malformed one."""
    faults, record, errors = [], {}, []

    def close(line_no):
        if not record:
            return
        missing = [f for f in REQUIRED if f not in record]
        if missing:
            errors.append(f"{path}:{line_no}: record {record.get('id', '?')} lacks {', '.join(missing)}")
        elif record["tree"] not in TREES:
            errors.append(f"{path}:{line_no}: {record['id']}: tree must be native or win")
        else:
            try:
                re.compile(record["tests"])
            except re.error as e:
                errors.append(f"{path}:{line_no}: {record['id']}: bad tests regex: {e}")
            faults.append(dict(record))
        record.clear()

    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for no, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            close(no)
            continue
        name, sep, value = line.partition(":")
        if not sep or name not in FIELDS:
            errors.append(f"{path}:{no}: not a field: {line!r}")
            continue
        if name in record:
            errors.append(f"{path}:{no}: {name} given twice")
        value = value[1:] if value.startswith(" ") else value
        if name in ("old", "new"):
            value = unescape(value)
        else:
            value = value.strip()
        record[name] = value
    close(len(lines))
    seen = set()
    for fault in faults:
        if fault["id"] in seen:
            errors.append(f"{path}: id {fault['id']} used twice")
        seen.add(fault["id"])
        if not fault["old"]:
            errors.append(f"{path}: {fault['id']}: empty old text")
        fault["targets"] = fault["targets"].split()
    if errors:
        sys.exit("\n".join(errors))
    return faults


def run(cmd, log, cwd=None, env=None, timeout=None):
    """Runs cmd with its output appended to log; returns (code, output)."""
    log.write(f"\n$ {' '.join(cmd)}\n")
    log.flush()
    try:
        p = subprocess.run(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           stdin=subprocess.DEVNULL, timeout=timeout, text=True, errors="replace")
        out, code = p.stdout, p.returncode
    except subprocess.TimeoutExpired as e:
        out = (e.stdout or b"").decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        out += f"\n(timed out after {timeout} s)\n"
        code = -1
    log.write(out)
    log.flush()
    return code, out


def git(repo, *args):
    return subprocess.run(["git", "-C", repo, *args], check=True, stdout=subprocess.PIPE,
                          text=True).stdout


def check(faults, repo):
    """Every old text occurs exactly once in its file at HEAD."""
    bad = 0
    for fault in faults:
        try:
            text = subprocess.run(["git", "-C", repo, "show", f"HEAD:{fault['file']}"], check=True,
                                  stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode()
            count = text.count(fault["old"])
        except subprocess.CalledProcessError:
            count = None
        if count == 1:
            status = "ok"
        else:
            bad += 1
            status = "NO SUCH FILE" if count is None else f"BAD: old text occurs {count} times"
        print(f"{fault['id']:36} {fault['file']:44} {status}")
    print(f"{len(faults)} faults, {len(faults) - bad} ok, {bad} bad")
    return bad == 0


class Scratch:
    """The scratch worktree and its build trees."""

    def __init__(self, repo, root, base, log):
        self.repo, self.root, self.base_source = repo, root, base
        self.src = os.path.join(root, "src")
        self.trees = {t: os.path.join(root, t) for t in TREES}
        self.log = log
        self.configured = set()

    def prepare(self):
        head = git(self.repo, "rev-parse", "HEAD").strip()
        if not os.path.isdir(self.src):
            git(self.repo, "worktree", "add", "--detach", self.src, head)
        else:
            git(self.src, "checkout", "-q", "-f", "--detach", head)
        # A fault left behind by an interrupted run is taken back.
        git(self.src, "checkout", "-q", "-f", "--", ".")
        return head

    def env(self):
        env = dict(os.environ)
        # Tests never use the developer's desktop: own display, own sound card.
        env.pop("DISPLAY", None)
        env.pop("PULSE_SERVER", None)
        return env

    def configure(self, tree):
        if tree in self.configured:
            return True
        build = self.trees[tree]
        cmd = ["cmake", "-S", self.src, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
               "-DTAV_WERROR=ON"]
        if tree == "win":
            cmd.append(f"-DCMAKE_TOOLCHAIN_FILE={self.src}/cmake/mingw-w64.cmake")
        # Scratch trees of different commits share the objects that did not change.
        if shutil.which("ccache"):
            cmd += ["-DCMAKE_C_COMPILER_LAUNCHER=ccache", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"]
        # Once per run: a tree configured before keeps its objects.
        code, _ = run(cmd, self.log, env=self.env())
        if code != 0:
            return False
        if tree == "win" and not self.stage_base():
            return False
        self.configured.add(tree)
        return True

    def stage_base(self):
        """The generated content the Windows tests load: build/win/testrun/base."""
        target = os.path.join(self.trees["win"], "testrun", "base")
        if os.path.isdir(target):
            return True
        source = self.base_source
        if not source or not os.path.isdir(source):
            source = os.path.join(self.root, "base")
            if not os.path.isdir(source):
                if not self.configure("native"):
                    return False
                if self.build("native", ["tav_assetgen"]) != 0:
                    return False
                code, _ = run([os.path.join(self.src, "scripts", "make-assets.sh"),
                               self.trees["native"], source], self.log, env=self.env())
                if code != 0:
                    return False
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copytree(source, target)
        return True

    def build(self, tree, targets):
        code, _ = run(["cmake", "--build", self.trees[tree], "-j", "2", "--target", *targets],
                      self.log, env=self.env())
        return code

    def test(self, tree, regex):
        """(result, summary) of the tests matching regex in tree."""
        build = self.trees[tree]
        ctest = ["ctest", "--test-dir", build, "-R", regex, "--no-tests=error",
                 "--output-on-failure", "-j", "1"]
        if tree == "win":
            cmd = [os.path.join(self.src, "scripts", "headless.sh"), "--screen", SCREEN, build, *ctest]
        else:
            cmd = ctest
        code, out = run(cmd, self.log, env=self.env(), timeout=3600)
        summary = re.findall(r"\d+% tests passed, \d+ tests failed out of \d+", out)
        summary = summary[-1] if summary else ""
        if "No tests were found" in out:
            return "NO-TESTS", summary
        return ("PASSED" if code == 0 else "FAILED"), summary


def apply(path, fault):
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    if text.count(fault["old"]) != 1:
        return None
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text.replace(fault["old"], fault["new"], 1))
    return text


def table(rows, head):
    lines = [f"Faults applied one at a time to {head[:12]}:", "",
             "| Fault | Tree | File | Tests | Result | Detail | s |",
             "|---|---|---|---|---|---|---|"]
    for fault, result, detail, seconds in rows:
        lines.append(f"| {fault['id']} | {fault['tree']} | {fault['file']} | `{fault['tests']}` | "
                     f"{result} | {detail} | {seconds:.0f} |")
    counts = {}
    for _, result, _, _ in rows:
        counts[result] = counts.get(result, 0) + 1
    lines += ["", ", ".join(f"{k}: {v}" for k, v in sorted(counts.items())) + f" (of {len(rows)})"]
    return "\n".join(lines) + "\n"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--table", default=os.path.join(HERE, "faults.txt"))
    ap.add_argument("--list", action="store_true", help="print the parsed faults and stop")
    ap.add_argument("--check", action="store_true", help="check every old text at HEAD and stop")
    ap.add_argument("--only", help="comma-separated ids to run")
    ap.add_argument("--out", help="also write the table as markdown here")
    ap.add_argument("--scratch", default=os.environ.get("TAV_FAULTS_SCRATCH", "/tmp/tav-faults"),
                    help="scratch folder: worktree and build trees (default /tmp/tav-faults)")
    ap.add_argument("--base", help="generated content for the Windows tests "
                                   "(default: build/base of the tree if present, else generated)")
    ap.add_argument("--no-baseline", action="store_true",
                    help="do not first run the tests on the unchanged tree")
    args = ap.parse_args()

    repo = git(HERE, "rev-parse", "--show-toplevel").strip()
    faults = parse(args.table)
    if args.only:
        wanted = args.only.split(",")
        unknown = [w for w in wanted if w not in {f["id"] for f in faults}]
        if unknown:
            sys.exit(f"unknown fault ids: {', '.join(unknown)}")
        faults = [f for f in faults if f["id"] in wanted]
    if args.list:
        for f in faults:
            print(f"{f['id']:36} {f['tree']:6} {f['file']:44} {' '.join(f['targets']):28} {f['tests']}")
        print(f"{len(faults)} faults")
        return 0
    if args.check:
        return 0 if check(faults, repo) else 1

    os.makedirs(os.path.join(args.scratch, "logs"), exist_ok=True)
    # One run at a time: two Wine sessions must never share a build tree.
    lock = open(os.path.join(args.scratch, ".lock"), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        sys.exit(f"another faults.py run holds {args.scratch}")
    base = args.base or os.path.join(repo, "build", "base")
    with open(os.path.join(args.scratch, "logs", "setup.log"), "w") as log:
        scratch = Scratch(repo, args.scratch, base, log)
        head = scratch.prepare()

    baseline = {}
    rows = []
    for fault in faults:
        start = time.time()
        with open(os.path.join(args.scratch, "logs", fault["id"] + ".log"), "w") as log:
            scratch.log = log
            result, detail = run_fault(scratch, fault, baseline, not args.no_baseline)
        seconds = time.time() - start
        rows.append((fault, result, detail, seconds))
        print(f"{fault['id']:36} {result:13} {detail} ({seconds:.0f} s)", flush=True)

    text = table(rows, head)
    print()
    print(text, end="")
    if args.out:
        with open(args.out, "w") as f:
            f.write(text)
    return 0


def run_fault(scratch, fault, baseline, with_baseline):
    tree = fault["tree"]
    if not scratch.configure(tree):
        return "BUILD-FAILED", "configuration failed"
    key = (tree, tuple(fault["targets"]), fault["tests"])
    if with_baseline and key not in baseline:
        scratch.log.write("== baseline: the unchanged tree\n")
        if scratch.build(tree, fault["targets"]) != 0:
            baseline[key] = ("BUILD-FAILED", "the unchanged tree did not build")
        else:
            outcome, summary = scratch.test(tree, fault["tests"])
            baseline[key] = (outcome, summary)
    if with_baseline and baseline[key][0] != "PASSED":
        outcome, summary = baseline[key]
        if outcome == "NO-TESTS":
            return "NO-TESTS", "the regex names no test"
        return "BASE-FAILED", summary or outcome

    path = os.path.join(scratch.src, fault["file"])
    scratch.log.write(f"== fault {fault['id']}: {fault['file']}\n")
    original = apply(path, fault)
    if original is None:
        return "BUILD-FAILED", "old text not found exactly once"
    try:
        if scratch.build(tree, fault["targets"]) != 0:
            return "BUILD-FAILED", "the changed tree did not build"
        outcome, summary = scratch.test(tree, fault["tests"])
    finally:
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(original)
    if outcome == "NO-TESTS":
        return "NO-TESTS", "the regex names no test"
    return ("CAUGHT" if outcome == "FAILED" else "MISSED"), summary


if __name__ == "__main__":
    sys.exit(main())
