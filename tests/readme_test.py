#!/usr/bin/python3
"""The README as a new user reads it, checked against what the program and ./dev really do.

- Each command of a ```console block (a line "$ COMMAND") runs from the clone's root, with the
  built zentrovax first on the PATH, and must print the lines the block shows under it. A first
  line "..." stands for output left out before the lines shown (a build's progress, say).
- Every file or folder of the project the README names exists (after ./dev test has built
  everything; a * or ** in a name matches as in a shell).
- Every benchmark the README names is one the benchmark program has.

    readme_test.py PROGRAM BENCH-PROGRAM
"""
import glob
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = "leet|window|output|qt|win32|web|resources|tests|bench|cmake|docs|build"
failures = 0
checks = 0


def check(what, expected, actual):
    global failures, checks
    checks += 1
    if expected == actual:
        print(f"ok: {what}")
    else:
        print(f"FAILED: {what}\n  expected: {expected!r}\n  actual:   {actual!r}")
        failures += 1


def console_examples(readme):
    """(command, expected lines) for every "$ " line of every console block."""
    examples = []
    for block in re.findall(r"^```console\n(.*?)^```", readme, re.M | re.S):
        for chunk in re.split(r"^\$ ", block, flags=re.M)[1:]:
            command, *expected = chunk.rstrip("\n").split("\n")
            examples.append((command, expected))
    return examples


def run_examples(readme, program):
    with tempfile.TemporaryDirectory() as bin_dir:
        os.symlink(program, os.path.join(bin_dir, "zentrovax"))
        env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ["PATH"])
        for key in ("DISPLAY", "WAYLAND_DISPLAY"):
            env.pop(key, None)
        for command, expected in console_examples(readme):
            result = subprocess.run(["bash", "-c", command], cwd=ROOT, env=env,
                                    stdin=subprocess.DEVNULL, capture_output=True, text=True)
            actual = result.stdout.rstrip("\n").split("\n")
            if expected[:1] == ["..."]:
                expected = expected[1:]
                actual = actual[-len(expected):]
            check(f"`{command}` prints what the README shows", expected, actual)
            check(f"`{command}` succeeds", 0, result.returncode)


def check_paths(readme):
    names = set()
    for match in re.finditer(rf"(?<![\w/.-])(?:\./)?(?:{FOLDERS})/[\w./*-]*", readme):
        names.add(match.group(0).rstrip(".,"))
    for name in sorted(names):
        found = glob.glob(os.path.join(ROOT, name), recursive=True)
        check(f"{name} exists", True, bool(found))


def check_benchmarks(readme, bench):
    listed = subprocess.run([bench, "--benchmark_list_tests"], capture_output=True, text=True,
                            env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout
    have = {line.split("/")[0] for line in listed.split("\n")}
    for name in sorted(set(re.findall(r"\bBM_\w+", readme))):
        check(f"the benchmark {name} exists", True, name in have)


def main():
    program, bench = (os.path.abspath(path) for path in sys.argv[1:3])
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as file:
        readme = file.read()
    check("the README has examples to run", True, len(console_examples(readme)) >= 4)
    run_examples(readme, program)
    check_paths(readme)
    check_benchmarks(readme, bench)
    print(f"{checks - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
