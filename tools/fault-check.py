#!/usr/bin/env python3
"""Seed faults into a scratch copy of the sources and see which ones the test suite catches.

Each fault of tools/faults.txt names a file, an exact text that occurs once in it and its
replacement. The script copies the worktree's files into build-faults/tree (once; later runs
only refresh the files that changed), configures one build folder there, checks that the
unchanged suite passes, then for each fault: applies it, builds, runs the whole ctest, notes
whether a test failed (caught), the build failed (caught by the compiler) or all passed
(missed), and restores the file. Nothing in the worktree itself is changed.

  tools/fault-check.py                 # every fault
  tools/fault-check.py cpu-ora-absy    # some faults, by id
  tools/fault-check.py --list          # the list, checked, without building
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIELDS = ("id", "file", "find", "replace", "about")


def parse_faults(path):
    """Entries are blocks of 'key: value' lines separated by blank lines; '#' starts a comment
    line. In find and replace, '\\n' stands for a line break and '\\\\' for a backslash."""
    faults, current, errors = [], {}, []

    def close(line_no):
        if not current:
            return
        missing = [k for k in FIELDS if k not in current]
        if missing:
            errors.append(f"{path}:{line_no}: entry {current.get('id', '?')} lacks {', '.join(missing)}")
        else:
            faults.append(dict(current))
        current.clear()

    no = 0
    with open(path, encoding="utf-8") as f:
        for no, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip():
                close(no)
                continue
            if line.lstrip().startswith("#"):
                continue
            key, sep, value = line.partition(": ")
            if not sep or key not in FIELDS:
                errors.append(f"{path}:{no}: expected one of {', '.join(FIELDS)} followed by ': '")
                continue
            if key in ("find", "replace"):
                value = re.sub(r"\\(n|\\)", lambda m: "\n" if m.group(1) == "n" else "\\", value)
            current[key] = value
        close(no + 1)
    ids = [x["id"] for x in faults]
    for dup in sorted({i for i in ids if ids.count(i) > 1}):
        errors.append(f"{path}: id {dup} appears more than once")
    return faults, errors


def check_fault(fault, tree):
    """Why the fault cannot be applied in tree, or None when its text occurs exactly once."""
    path = os.path.join(tree, fault["file"])
    if not os.path.isfile(path):
        return f"{fault['file']} does not exist"
    if fault["find"] == fault["replace"]:
        return "find and replace are the same"
    with open(path, encoding="utf-8") as f:
        n = f.read().count(fault["find"])
    if n != 1:
        return f"its text occurs {n} times in {fault['file']} (must be exactly once)"
    return None


def sync_tree(tree):
    """Copy the worktree's tracked and new (not ignored) files into tree, leaving files whose
    content is unchanged untouched so the build stays incremental."""
    out = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         cwd=ROOT, check=True, capture_output=True).stdout
    files = sorted(set(p.decode() for p in out.split(b"\0") if p))
    files = [rel for rel in files if os.path.isfile(os.path.join(ROOT, rel))]
    # Files copied by an earlier run that are gone from the worktree go from the copy too.
    manifest = os.path.join(os.path.dirname(tree), "copied-files.txt")
    if os.path.isfile(manifest):
        with open(manifest, encoding="utf-8") as f:
            for rel in set(f.read().splitlines()) - set(files):
                if os.path.isfile(os.path.join(tree, rel)):
                    os.remove(os.path.join(tree, rel))
    copied = 0
    for rel in files:
        src, dst = os.path.join(ROOT, rel), os.path.join(tree, rel)
        if not os.path.isfile(src) or os.path.islink(src):
            continue
        with open(src, "rb") as f:
            data = f.read()
        if os.path.isfile(dst):
            with open(dst, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        with open(dst, "wb") as f:
            f.write(data)
        shutil.copymode(src, dst)
        copied += 1
    with open(manifest, "w", encoding="utf-8") as f:
        f.write("\n".join(files) + "\n")
    return copied


def run(cmd, env, log, timeout=None):
    with open(log, "w") as out:
        try:
            return subprocess.run(cmd, env=env, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return -1


def failed_tests(log):
    """The names ctest lists after 'The following tests FAILED:'."""
    names, on = [], False
    with open(log, errors="replace") as f:
        for line in f:
            if "The following tests FAILED" in line:
                on = True
            elif on:
                m = re.match(r"\s*\d+\s*-\s*(\S+)", line)
                if m:
                    names.append(m.group(1))
    return names


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("ids", nargs="*", help="run only these faults")
    ap.add_argument("--list", action="store_true", help="list the faults (checked) and stop")
    ap.add_argument("--faults", default=os.path.join(ROOT, "tools", "faults.txt"))
    ap.add_argument("--scratch", default=os.path.join(ROOT, "build-faults"),
                    help="folder for the copy and its build (default build-faults/)")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--timeout", type=int, default=120, help="seconds per test (a hang counts as caught)")
    args = ap.parse_args()

    faults, errors = parse_faults(args.faults)
    if errors:
        print("\n".join(errors))
        return 2
    if args.ids:
        unknown = [i for i in args.ids if i not in {f["id"] for f in faults}]
        if unknown:
            print("unknown fault ids: " + ", ".join(unknown))
            return 2
        faults = [f for f in faults if f["id"] in args.ids]

    if args.list:
        bad = 0
        for f in faults:
            why = check_fault(f, ROOT)
            bad += why is not None
            print(f"{f['id']:28} {f['file']:40} {f['about']}" + (f"  [REFUSED: {why}]" if why else ""))
        print(f"{len(faults)} faults, {bad} refused")
        return 1 if bad else 0

    tree = os.path.join(args.scratch, "tree")
    build = os.path.join(tree, "build")  # laid out as in a worktree, so ccache can share
    logs = os.path.join(args.scratch, "logs")
    os.makedirs(logs, exist_ok=True)
    print(f"copying the sources to {tree} ... {sync_tree(tree)} files changed", flush=True)

    refused = [(f, check_fault(f, tree)) for f in faults]
    refused = [(f, why) for f, why in refused if why]
    if refused:
        for f, why in refused:
            print(f"refused {f['id']}: {why}")
        return 2

    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="dummy")
    env.setdefault("CCACHE_BASEDIR", args.scratch)
    if not os.path.isfile(os.path.join(build, "build.ninja")):
        cfg = ["cmake", "-S", tree, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
               "-DVANTRELL_WERROR=OFF", "-DVANTRELL_BUILD_DESKTOP=ON", "-DVANTRELL_BUILD_TESTS=ON",
               "-DVANTRELL_BUILD_BENCH=OFF", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
               "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        if run(cfg, env, os.path.join(logs, "configure.log")) != 0:
            print(f"configure failed, see {logs}/configure.log")
            return 2
    build_cmd = ["cmake", "--build", build, "-j", str(args.jobs)]
    test_cmd = ["ctest", "--test-dir", build, "-j", str(args.jobs), "--timeout", str(args.timeout),
                "--output-on-failure"]

    t0 = time.time()
    print("building and testing the unchanged copy ...", end=" ", flush=True)
    if run(build_cmd, env, os.path.join(logs, "baseline-build.log")) != 0:
        print(f"the build fails, see {logs}/baseline-build.log")
        return 2
    if run(test_cmd, env, os.path.join(logs, "baseline-test.log")) != 0:
        print(f"the suite fails without any fault, see {logs}/baseline-test.log")
        return 2
    print(f"green ({time.time() - t0:.0f} s)", flush=True)

    results = []
    for n, f in enumerate(faults, 1):
        path = os.path.join(tree, f["file"])
        with open(path, encoding="utf-8") as fh:
            original = fh.read()
        t1 = time.time()
        print(f"[{n}/{len(faults)}] {f['id']:28}", end=" ", flush=True)
        try:
            with open(path, "w", encoding="utf-8") as fh:
                fh.write(original.replace(f["find"], f["replace"], 1))
            blog = os.path.join(logs, f["id"] + ".build.log")
            tlog = os.path.join(logs, f["id"] + ".test.log")
            if run(build_cmd, env, blog) != 0:
                outcome, detail = "compiler", "does not build"
            elif run(test_cmd, env, tlog) != 0:
                names = failed_tests(tlog)
                outcome = "caught"
                detail = f"{len(names)} failed: " + ", ".join(names[:3]) + (" ..." if len(names) > 3 else "")
            else:
                outcome, detail = "missed", "every test passed"
        finally:
            with open(path, "w", encoding="utf-8") as fh:
                fh.write(original)
        results.append((f, outcome))
        print(f"{outcome.upper():8} {time.time() - t1:4.0f} s  {detail}", flush=True)

    suite = sum(o == "caught" for _, o in results)
    compiler = sum(o == "compiler" for _, o in results)
    missed = [f for f, o in results if o == "missed"]
    print()
    for f in missed:
        print(f"missed {f['id']}: {f['file']}: {f['about']}")
    print(f"caught {suite + compiler} of {len(results)} ({suite} by the tests, {compiler} by the compiler; "
          f"{len(missed)} missed) in {(time.time() - t0) / 60:.1f} min")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
