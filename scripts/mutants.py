#!/usr/bin/env python3
"""Mutation testing: how many small, deliberate faults in src/ the tests notice.

Each mutant of the fixed list in tests/mutants.json changes one line of one source file.
For every mutant the file is changed and the tests run, stopping at the first failure: first
the unit and display tests of the mutated file's folder (tests/<folder> for src/<folder>,
tests/tools for tools/), then the rest fastest first (unit, then display, then end-to-end),
each step building only the targets it needs. A failure kills the mutant (an end-to-end one
only if that test then passes on the unmutated tree); a mutant that passes everything
survives. The source file is always put back.

    scripts/mutants.py                      # every mutant, every test label
    scripts/mutants.py --labels unit --only M003,M017
    scripts/mutants.py --resume             # carry on an interrupted run
    scripts/mutants.py --list               # the mutants, at their current lines
    scripts/mutants.py --summary            # the summary of the results so far
    scripts/mutants.py --generate --seed 1  # write the list anew from the sources

A mutant names its line by the line's text (and which occurrence of that text in the file),
not by its number, so the list survives edits elsewhere in the file; a mutant whose line is
gone is reported as missing.
"""

import argparse
import base64
import hashlib
import json
import os
import queue
import random
import re
import shutil
import shlex
import signal
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_LIST = ROOT / "tests" / "mutants.json"
FOLDERS = ["src/runtime", "src/assets", "src/fx", "src/scenes", "src/capture"]
DEFAULT_COUNT = 100

# Fastest first. Every stage needs the whole build: the unit tests run the tools too.
STAGES = {
    "unit": ["-L", "^unit$"],
    "display": ["-L", "^display$", "-LE", "^e2e$"],
    "e2e": ["-L", "^e2e$"],
}
STAGE_ORDER = ["unit", "display", "e2e"]
# What each stage needs built (the unit tests run the composer, the display tests the painter);
# the end-to-end tests drive every program, so they build everything (None).
STAGE_TARGETS = {
    "unit": ["flumbadoo-tests", "flumbadoo-compose"],
    "display": ["flumbadoo-display-tests", "flumbadoo-paint"],
    "e2e": None,
}
# More ctest arguments for every stage (--ctest-args), such as parallel jobs or exclusions.
EXTRA_CTEST_ARGS = []


# ---------------------------------------------------------------------------------------------
# Reading C++: which characters are code

FILL = "\x01"  # stands for comment and literal characters in the code mask


def code_mask(text):
    """The text with comments and string/char literals replaced by FILL (newlines kept), so
    patterns run over the mask only ever match code; positions are those of the text."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = FILL
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            for j in range(i, end):
                if text[j] != "\n":
                    out[j] = FILL
            i = end
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i + 2)
            delimiter = text[i + 2:open_paren]
            end = text.find(")" + delimiter + '"', open_paren)
            end = n if end < 0 else end + len(delimiter) + 2
            for j in range(i, end):
                if text[j] != "\n":
                    out[j] = FILL
            i = end
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum())):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            for k in range(i, min(j + 1, n)):
                out[k] = FILL
            i = j + 1
        else:
            i += 1
    return "".join(out)


def balanced(s):
    depth = 0
    for ch in s:
        if ch in "([{":
            depth += 1
        elif ch in ")]}":
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


# ---------------------------------------------------------------------------------------------
# Candidate mutations of one line

FLIP = {"<": ">=", "<=": ">", ">": "<=", ">=": "<", "==": "!=", "!=": "=="}
BOUNDARY = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
SKIPPED_STARTS = ("#", "case ", "default:", "template", "namespace", "using ", "enum ", "static_assert",
                  "typedef", "friend ")
NUMBER = re.compile(r"(?<![\w.])(\d+\.\d*|\.\d+|\d+)([eE][+-]?\d+)?([fFlLuU]*)(?![\w.])")
COMPARISON = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
PLUS_MINUS = re.compile(r"(?<=\s)([+-])(=?)(?=\s)")
INDEX = re.compile(r"(?<=[\w)\]])\[([^\[\]]+)\]")
LOGIC = re.compile(r"&&|\|\|")
BOOL = re.compile(r"\b(true|false)\b")
NOT = re.compile(r"!(?=[\w(])")
CONDITION = re.compile(r"^(\s*)(if|while) \((.*)\)\s*$")
CALL = re.compile(r"^[A-Za-z_][\w:.\->\[\]]*\(.*\);$")
STREAM = re.compile(r"^[A-Za-z_][\w:.\->]* << .*;$")
ASSIGNMENT = re.compile(r"^\*?[A-Za-z_][\w.\->\[\]]*(?:\+\+|--| (?:[-+*/|&]?=) .+);$")
DECLARED_ARRAY = re.compile(r"\b[A-Za-z_][\w:<>,]*[*&]?\s+[A-Za-z_]\w*$")
MAP_KEY = re.compile(r"key|name|path|file|id\b", re.IGNORECASE)
ZERO_OPERAND = re.compile(r"\s*0*\.?0*[fFlLuU]*(?![\w.])")
KEYWORD_FIRST = {"return", "else", "case", "throw", "delete", "new", "co_return"}


def nudged(number, exponent, suffix):
    """A nearby literal of the same type, never equal to the original."""
    if "." not in number and not exponent and "f" not in suffix.lower():
        value = int(number)
        return str(value - 1 if value == 255 else value + 1) + suffix
    value = float(number + (exponent or ""))
    new = 0.25 if value == 0 else value * 1.25
    text = repr(new)
    return text + suffix


def line_mutations(line, mask):
    """(kind, start, end, new text, change) for every mutation this line allows."""
    stripped = mask.strip()
    if not stripped or set(stripped) <= {FILL, " ", "{", "}", ";"}:
        return []
    if stripped.startswith(SKIPPED_STARTS) or "operator" in mask or "static_assert" in mask:
        return []
    has_string = FILL in mask
    found = []

    for m in COMPARISON.finditer(mask):
        op = m.group(1)
        found.append(("comparison", m.start(1), m.end(1), FLIP[op], f"{op} to {FLIP[op]}"))
        if op in BOUNDARY:
            found.append(("boundary", m.start(1), m.end(1), BOUNDARY[op], f"{op} to {BOUNDARY[op]}"))

    for m in NUMBER.finditer(mask):
        before = mask[:m.start()].rstrip()
        after = mask[m.end():]
        if mask[m.start() - 1:m.start()] == "<" or after.startswith(">") or before.endswith(("[", "#")):
            continue  # template arguments and array sizes
        new = nudged(m.group(1), m.group(2), m.group(3))
        found.append(("constant", m.start(), m.end(), new, f"{m.group(0)} to {new}"))

    if not has_string and "std::string" not in mask and "begin()" not in mask and "end()" not in mask:
        for m in PLUS_MINUS.finditer(mask):
            op, eq = m.group(1), m.group(2)
            left = mask[:m.start()].rstrip()
            if not left or not (left[-1].isalnum() or left[-1] in "_)]."):
                continue
            if ZERO_OPERAND.match(mask, m.end()) and ZERO_OPERAND.match(mask, m.end()).group().strip():
                continue  # adding or taking away zero is the same
            new = ("-" if op == "+" else "+") + eq
            found.append(("plus-minus", m.start(), m.end(), new, f"{op}{eq} to {new}"))

    for m in INDEX.finditer(mask):
        inner = m.group(1)
        if FILL in inner or "::" in inner or "&" in inner or "=" in inner or inner.strip() == "this":
            continue
        if MAP_KEY.search(inner):
            continue
        prefix = mask[:m.start()]
        declared = DECLARED_ARRAY.search(prefix)
        if declared and declared.group().split()[0] not in KEYWORD_FIRST:
            continue
        if inner.strip().isdigit():
            new = f"[{int(inner) + 1}]"
        else:
            new = f"[{inner} + 1]"
        found.append(("index", m.start(), m.end(), new, f"[{inner}] to {new}"))

    for m in LOGIC.finditer(mask):
        new = "||" if m.group() == "&&" else "&&"
        found.append(("and-or", m.start(), m.end(), new, f"{m.group()} to {new}"))

    for m in BOOL.finditer(mask):
        new = "false" if m.group() == "true" else "true"
        found.append(("negate", m.start(), m.end(), new, f"{m.group()} to {new}"))
    for m in NOT.finditer(mask):
        found.append(("negate", m.start(), m.end(), "", "! dropped"))
    cond = CONDITION.match(mask)
    if cond and balanced(cond.group(3)) and not cond.group(3).startswith("!") and FILL not in cond.group(3):
        start = mask.index("(") + 1
        end = mask.rindex(")")
        found.append(("negate", start, end, f"!({line[start:end]})", "condition negated"))

    return found


def statement_drop(line, mask, previous_code):
    """The drop of a whole one-line call or assignment, or None."""
    code = mask.strip()
    if not code.endswith(";") or not balanced(code) or code.split("(")[0].split(" ")[0] in KEYWORD_FIRST:
        return None
    if not previous_code or previous_code[-1] not in ";{}":
        return None  # a continuation line, or the lone body of an if/for/while
    if CALL.match(code) or STREAM.match(code) or ASSIGNMENT.match(code):
        return ("drop-statement", 0, len(line), "", "statement dropped")
    return None


def file_candidates(path):
    """Every mutation the file allows, as dicts (without ids), plus its count of code lines."""
    text = path.read_text(encoding="utf-8")
    mask = code_mask(text)
    lines = text.split("\n")
    masks = mask.split("\n")
    seen = {}
    candidates = []
    code_lines = 0
    previous_code = ""
    in_directive = False
    for index, (line, lmask) in enumerate(zip(lines, masks)):
        stripped = line.strip()
        occurrence = seen.get(stripped, 0) + 1
        seen[stripped] = occurrence
        directive = in_directive or stripped.startswith("#")
        in_directive = directive and line.rstrip().endswith("\\")
        code = lmask.replace(FILL, "").strip()
        if directive or not code:
            continue
        code_lines += 1
        mutations = line_mutations(line, lmask)
        drop = statement_drop(line, lmask, previous_code)
        if drop:
            mutations.append(drop)
        previous_code = lmask.replace(FILL, "").rstrip()
        for kind, start, end, new, change in mutations:
            replaced = (line[:start] + new + line[end:]).strip()
            if replaced == stripped or re.sub(r"\s+", "", replaced) == re.sub(r"\s+", "", stripped):
                continue
            candidates.append({
                "file": path.relative_to(ROOT).as_posix(),
                "kind": kind,
                "original": stripped,
                "occurrence": occurrence,
                "replacement": replaced,
                "change": change,
                "_line": index,
                "_column": start,
            })
    return candidates, code_lines


class CompileCheck:
    """Compiles a mutated file on its own, in a copy of src/, to leave out mutants that do not
    compile: the patterns cannot see types (a string's += has no -=)."""

    def __init__(self):
        self.compiler = shutil.which("c++") or shutil.which("g++")
        if not self.compiler:
            print("mutants: no C++ compiler found, generating without the compile check", file=sys.stderr)
        self.folder = tempfile.TemporaryDirectory(prefix="flumbadoo-mutants-")
        self.src = Path(self.folder.name) / "src"
        shutil.copytree(ROOT / "src", self.src)

    def compiles(self, candidate):
        if not self.compiler:
            return True
        path = Path(self.folder.name) / candidate["file"]
        original = path.read_text(encoding="utf-8")
        index = locate(candidate, original)
        path.write_text(mutated_text(candidate, original, index), encoding="utf-8")
        try:
            return subprocess.run([self.compiler, "-std=c++17", "-fsyntax-only", f"-I{self.src}", str(path)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
        finally:
            path.write_text(original, encoding="utf-8")


def generate(seed, count, check):
    files = sorted(p for folder in FOLDERS for p in (ROOT / folder).glob("*.cpp"))
    per_file = {}
    for path in files:
        candidates, code_lines = file_candidates(path)
        unique = {}
        for c in candidates:
            unique.setdefault((c["original"], c["occurrence"], c["replacement"]), c)
        if unique:
            per_file[path] = (list(unique.values()), code_lines)

    # One mutant for every file with logic, the rest in proportion to the files' code lines.
    quota = {path: 1 for path in per_file}
    left = count - len(quota)
    while left > 0:
        open_files = [p for p in per_file if quota[p] < len(per_file[p][0])]
        if not open_files:
            break
        total = sum(per_file[p][1] for p in open_files)
        shares = {p: left * per_file[p][1] / total for p in open_files}
        given = 0
        for p in open_files:
            extra = min(int(shares[p]), len(per_file[p][0]) - quota[p])
            quota[p] += extra
            given += extra
        remainders = sorted(open_files, key=lambda p: (-(shares[p] - int(shares[p])), p.as_posix()))
        for p in remainders:
            if given >= left:
                break
            if quota[p] < len(per_file[p][0]):
                quota[p] += 1
                given += 1
        if given == 0:
            break
        left -= given

    chosen = []
    for path, (candidates, _) in per_file.items():
        rng = random.Random(f"{seed}/{path.relative_to(ROOT).as_posix()}")
        by_kind = {}
        for c in candidates:
            by_kind.setdefault(c["kind"], []).append(c)
        kinds = sorted(by_kind)
        rng.shuffle(kinds)
        for kind in kinds:
            rng.shuffle(by_kind[kind])
        picked, used_lines = [], set()
        while len(picked) < quota[path]:
            progress = False
            for kind in kinds:
                if len(picked) >= quota[path]:
                    break
                pool = by_kind[kind]
                if not pool:
                    continue
                # A line not mutated yet if there is one: spread over the file.
                pick = next((c for c in pool if c["_line"] not in used_lines), pool[0])
                pool.remove(pick)
                progress = True
                if check and not check.compiles(pick):
                    continue
                picked.append(pick)
                used_lines.add(pick["_line"])
            if not progress:
                break
        chosen.extend(picked)

    chosen.sort(key=lambda c: (c["file"], c["_line"], c["_column"], c["replacement"]))
    mutants = []
    for number, c in enumerate(chosen, 1):
        mutants.append({"id": f"M{number:03d}", **{k: v for k, v in c.items() if not k.startswith("_")}})
    return mutants


# ---------------------------------------------------------------------------------------------
# Finding and applying a mutant

def load_list(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)["mutants"]


def locate(mutant, text=None):
    """Index of the mutant's line in the file's current text, or None when it is gone."""
    if text is None:
        path = ROOT / mutant["file"]
        if not path.is_file():
            return None
        text = path.read_text(encoding="utf-8")
    seen = 0
    for index, line in enumerate(text.split("\n")):
        if line.strip() == mutant["original"].strip():
            seen += 1
            if seen == mutant["occurrence"]:
                return index
    return None


def mutated_text(mutant, text, index):
    lines = text.split("\n")
    line = lines[index]
    ending = "\r" if line.endswith("\r") else ""
    indent = line[:len(line) - len(line.lstrip())]
    replacement = mutant["replacement"].strip()
    lines[index] = (indent + replacement if replacement else "") + ending
    return "\n".join(lines)


def touch_after(path, reference_ns):
    """Gives path an mtime after reference_ns (and now), so the next build recompiles it."""
    stamp = max(time.time_ns(), reference_ns + 1_000_000)
    os.utime(path, ns=(stamp, stamp))


class Mutation:
    """Applies a mutant on entry and always puts the file back on exit. The original is also
    kept in a marker file until it is back, so even a killed run is repaired at the next start."""

    def __init__(self, mutant, build_dir):
        self.path = ROOT / mutant["file"]
        self.mutant = mutant
        self.marker = build_dir / "mutant-in-progress.json"
        self.original = None
        self.mutated = None

    def __enter__(self):
        self.original = self.path.read_bytes()
        text = self.original.decode("utf-8")
        index = locate(self.mutant, text)
        if index is None:
            return None
        mutated = mutated_text(self.mutant, text, index).encode("utf-8")
        blocked = signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGINT, signal.SIGTERM, signal.SIGHUP})
        try:
            self.marker.write_text(json.dumps({
                "file": self.mutant["file"],
                "original": base64.b64encode(self.original).decode(),
                "mutated_sha1": hashlib.sha1(mutated).hexdigest(),
            }))
            before = self.path.stat().st_mtime_ns
            self.mutated = mutated
            self.path.write_bytes(mutated)
            touch_after(self.path, before)
        finally:
            try:
                # A signal held back meanwhile is raised here, before the with block runs.
                signal.pthread_sigmask(signal.SIG_SETMASK, blocked)
            except BaseException:
                self.__exit__(None, None, None)
                raise
        return index

    def __exit__(self, *exc):
        if self.mutated is None:
            return False
        blocked = signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGINT, signal.SIGTERM, signal.SIGHUP})
        try:
            restore(self.path, self.original, self.mutated)
            self.marker.unlink(missing_ok=True)
        finally:
            signal.pthread_sigmask(signal.SIG_SETMASK, blocked)
        return False


def restore(path, original, mutated):
    current = path.read_bytes()
    mutated_mtime = path.stat().st_mtime_ns
    if current == mutated:
        path.write_bytes(original)
    elif current != original:
        # Someone edited the file meanwhile: keep their edit, take back only the mutated line.
        ours = mutated.decode("utf-8").split("\n")
        theirs = current.decode("utf-8").split("\n")
        before = original.decode("utf-8").split("\n")
        changed = [i for i, (a, b) in enumerate(zip(before, ours)) if a != b]
        fixed = False
        if changed:
            i = changed[0]
            hits = [j for j, line in enumerate(theirs) if line == ours[i]]
            if len(hits) == 1:
                theirs[hits[0]] = before[i]
                path.write_text("\n".join(theirs), encoding="utf-8")
                fixed = True
        print(f"mutants: {os.path.relpath(path, ROOT)} changed while mutated; "
              + ("the mutated line was put back, the other changes kept" if fixed
                 else "CHECK IT BY HAND, the mutated line could not be found"), file=sys.stderr)
    touch_after(path, mutated_mtime)


def repair_interrupted(build_dir):
    marker = build_dir / "mutant-in-progress.json"
    if not marker.is_file():
        return
    state = json.loads(marker.read_text())
    path = ROOT / state["file"]
    original = base64.b64decode(state["original"])
    current = path.read_bytes() if path.is_file() else b""
    if hashlib.sha1(current).hexdigest() == state["mutated_sha1"]:
        path.write_bytes(original)
        touch_after(path, path.stat().st_mtime_ns)
        print(f"mutants: put back {state['file']}, left mutated by an interrupted run", file=sys.stderr)
    elif current != original:
        print(f"mutants: {state['file']} was left mutated by an interrupted run and edited since: "
              f"check it by hand ({marker} holds the original)", file=sys.stderr)
        marker.rename(marker.with_suffix(".stale"))
        return
    marker.unlink()


# ---------------------------------------------------------------------------------------------
# Building and testing

def on_signal(signum, _frame):
    raise KeyboardInterrupt(f"signal {signum}")


def run_logged(command, log, env=None):
    """Runs command in a session of its own, output to log; returns the exit status."""
    log.write(f"$ {' '.join(command)}\n")
    log.flush()
    process = subprocess.Popen(command, cwd=ROOT, stdout=log, stderr=subprocess.STDOUT, env=env,
                               start_new_session=True)
    try:
        return process.wait()
    finally:
        kill_group(process)


def kill_group(process):
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()


def build(build_dir, jobs, log, targets=None):
    """Builds targets (every target when None); true when the build succeeds."""
    command = ["nice", "-n", "10", "cmake", "--build", str(build_dir), "-j", str(jobs)]
    if targets:
        command += ["--target", *targets]
    return run_logged(command, log) == 0


TEST_NAME = re.compile(r"^\s*TEST(?:_F|_P)?\(\s*(\w+)\s*,", re.M)


def covering_tests(path):
    """A ctest -R pattern for the unit and display tests that cover the file at path (relative
    to the root), by the folder map the tests keep: tests/<folder> tests src/<folder>, and
    tests/tools the programs under tools/. None when no test file is there."""
    parts = Path(path).parts
    folder = parts[1] if parts[0] == "src" and len(parts) > 2 else "tools" if parts[0] == "tools" else None
    if folder is None:
        return None
    suites = set()
    for test_file in (ROOT / "tests" / folder).glob("*Test.cpp"):
        suites.update(TEST_NAME.findall(test_file.read_text(errors="replace")))
    return f"^({'|'.join(sorted(suites))})\\." if suites else None


START = re.compile(r"^\s*Start\s+\d+: (\S+)")
# The status follows the last run of dots; parameterised test names carry spaces of their own.
RESULT = re.compile(r"^\s*\d+/\d+ Test\s+#\d+: (\S+).*\.{3,}\s*(\S.*?)\s+([\d.]+) sec\s*$")


def run_stage(build_dir, stage, limits, default_limit, log):
    """Runs one label's tests (or, given a list, the tests those ctest arguments select),
    stopping at the first failure.
    Returns (outcome, test, durations): outcome is passed, failed, timeout or error."""
    selection = STAGES[stage] if isinstance(stage, str) else stage
    command = ["ctest", "--test-dir", str(build_dir), *selection, "--stop-on-failure",
               "--no-tests=error", "--output-on-failure", *EXTRA_CTEST_ARGS]
    if default_limit:
        command += ["--timeout", str(default_limit)]
    log.write(f"$ {' '.join(command)}\n")
    log.flush()
    env = dict(os.environ, ALSOFT_DRIVERS="null")
    process = subprocess.Popen(command, cwd=ROOT, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               env=env, start_new_session=True, text=True, errors="replace")
    lines = queue.Queue()
    reader = threading.Thread(target=lambda: ([lines.put(l) for l in process.stdout], lines.put(None)),
                              daemon=True)
    reader.start()
    durations, first_failure, running, started = {}, None, None, 0.0
    outcome = "passed"
    try:
        while True:
            try:
                line = lines.get(timeout=1.0)
            except queue.Empty:
                line = ""
            if line is None:
                break
            if line:
                log.write(line)
                start = START.match(line)
                if start:
                    running, started = start.group(1), time.monotonic()
                result = RESULT.match(line)
                if result:
                    name, status, seconds = result.group(1), result.group(2), float(result.group(3))
                    durations[name] = seconds
                    running = None
                    if status != "Passed" and first_failure is None:
                        first_failure = name
                        outcome = "timeout" if "Timeout" in status else "failed"
            if running and time.monotonic() - started > limits.get(running, default_limit or 600):
                log.write(f"\nmutants: {running} ran past its time limit; stopped\n")
                kill_group(process)
                return "timeout", running, durations
        status = process.wait()
    finally:
        kill_group(process)
    log.flush()
    if first_failure:
        return outcome, first_failure, durations
    if status < 0:
        # ctest itself was ended by a signal (the run interrupted from outside): no verdict.
        raise KeyboardInterrupt(f"ctest ended by signal {-status}")
    if status != 0:
        return "error", f"(ctest exit status {status})", durations
    return "passed", None, durations


def fingerprint(labels):
    digest = hashlib.sha1(",".join(labels).encode())
    for top in ["CMakeLists.txt", "config.json", "src", "tests", "tools", "assets"]:
        path = ROOT / top
        files = [path] if path.is_file() else sorted(p for p in path.rglob("*") if p.is_file())
        for f in files:
            digest.update(f.relative_to(ROOT).as_posix().encode())
            digest.update(f.read_bytes())
    return digest.hexdigest()


def baseline(build_dir, labels):
    """The unmutated run: every test must pass, and how long each takes sets its limit.
    Kept while the sources, tests and assets stay the same."""
    cache = build_dir / "mutants-baseline.json"
    key = fingerprint(labels)
    if cache.is_file():
        saved = json.loads(cache.read_text())
        if saved.get("fingerprint") == key:
            print("mutants: baseline unchanged since the last run, not run again")
            return saved["durations"]
    print(f"mutants: baseline run of the unmutated tests ({', '.join(labels)})", flush=True)
    durations = {}
    with open(build_dir / "mutant-logs" / "baseline.log", "w") as log:
        for stage in labels:
            began = time.monotonic()
            outcome, test, times = run_stage(build_dir, stage, {}, None, log)
            durations.update(times)
            print(f"mutants:   {stage}: {outcome} in {time.monotonic() - began:.0f} s", flush=True)
            if outcome != "passed":
                sys.exit(f"mutants: the unmutated tests fail ({test}; see {log.name}): "
                         "mutants cannot be judged against them")
    cache.write_text(json.dumps({"fingerprint": key, "durations": durations}))
    return durations


def judge(mutant, build_dir, labels, jobs, limits, default_limit, log):
    """Builds the mutant and runs its tests until one fails: first the unit and display tests
    that cover its file, then the rest label by label, building only what each step needs.
    A failure of an end-to-end test kills the mutant only once that test passes again on the
    unmutated tree, so that a test that fails by chance kills nothing."""
    covering = covering_tests(mutant["file"])
    quick = [l for l in labels if l != "e2e"]
    steps = []
    if covering and quick:
        targets = [t for l in quick for t in STAGE_TARGETS[l]]
        steps.append(("covering", ["-R", covering, "-L", f"^({'|'.join(quick)})$", "-LE", "^e2e$"], targets))
    for stage in labels:
        skip = ["-E", covering] if covering and stage != "e2e" else []
        steps.append((stage, [*STAGES[stage], *skip], STAGE_TARGETS[stage]))
    killer = None
    with Mutation(mutant, build_dir) as index:
        if index is None:
            return "missing", None, None
        for stage, selection, targets in steps:
            log.write(f"mutants: step {stage}\n")
            if not build(build_dir, jobs, log, targets):
                return "compile-error", None, index
            outcome, test, _ = run_stage(build_dir, selection, limits, default_limit, log)
            if outcome in ("failed", "error", "timeout"):
                killer = (stage, "killed (timeout)" if outcome == "timeout" else "killed", test)
                break
        if killer is None:
            return "survived", None, index
    stage, status, test = killer
    if stage == "e2e" and test and not test.startswith("("):
        log.write(f"mutants: {test} again on the unmutated tree\n")
        again = build(build_dir, jobs, log) and run_stage(
            build_dir, ["-R", f"^{re.escape(test)}$"], limits, default_limit, log)[0] == "passed"
        if not again:
            return "unjudged (fails unmutated too)", test, index
    return status, test, index


# ---------------------------------------------------------------------------------------------
# Reporting

def read_results(path):
    results = {}
    if path.is_file():
        for line in path.read_text().splitlines():
            if line.strip():
                record = json.loads(line)
                results[record["id"]] = record
    return results


def change_text(m):
    return f"{m['original']}  ->  {m['replacement'] or '(line removed)'}"


def summary(mutants, results_path):
    results = read_results(results_path)
    counts = {"killed": 0, "killed (timeout)": 0, "survived": 0, "compile-error": 0, "missing": 0,
              "equivalent": 0}
    survivors, not_run, labels = [], 0, set()
    folders = {}
    for m in mutants:
        folder = folder_of(m["file"])
        tally = folders.setdefault(folder, {"killed": 0, "survived": 0, "equivalent": 0, "other": 0})
        if m.get("equivalent"):
            # Marked in the list: no test can tell it apart, so it is left out of the score.
            counts["equivalent"] += 1
            tally["equivalent"] += 1
            continue
        r = results.get(m["id"])
        if r is None:
            not_run += 1
            continue
        counts[r["status"]] = counts.get(r["status"], 0) + 1
        labels.add(",".join(r.get("labels", [])))
        if r["status"] in ("killed", "killed (timeout)"):
            tally["killed"] += 1
        elif r["status"] == "survived":
            tally["survived"] += 1
            survivors.append((m, r))
        else:
            tally["other"] += 1
    killed = counts["killed"] + counts["killed (timeout)"]
    judged = killed + counts["survived"]
    print(f"\nmutants: {len(mutants)} in the list, results in {results_path}"
          + (f" (tests: {' / '.join(sorted(labels))})" if labels else ""))
    print(f"  killed         {killed} ({counts['killed (timeout)']} by a timeout)")
    print(f"  survived       {counts['survived']}")
    print(f"  equivalent     {counts['equivalent']} (marked in the list, left out of the score)")
    print(f"  compile-error  {counts['compile-error']}")
    print(f"  missing        {counts['missing']}")
    unjudged = counts.get("unjudged (fails unmutated too)", 0)
    if unjudged:
        print(f"  unjudged       {unjudged} (the killing end-to-end test also failed unmutated)")
    if not_run:
        print(f"  not run yet    {not_run}")
    if judged:
        print(f"  score          {100.0 * killed / judged:.1f}% of the mutants that built and are not equivalent were killed")
    print("per folder (killed / survived / equivalent / other):")
    for folder, tally in sorted(folders.items()):
        print(f"  {folder:16s} {tally['killed']:3d} / {tally['survived']:3d} / {tally['equivalent']:3d} / {tally['other']:3d}")
    if survivors:
        print("survivors:")
        for m, r in survivors:
            print(f"  {m['id']} {m['file']}:{r.get('line', '?')} [{m['kind']}] {m['change']}")
            print(f"       {change_text(m)}")


def folder_of(path):
    """src/assets/X.cpp -> assets; tools/capture/main.cpp -> tools; a shader -> shaders."""
    parts = Path(path).parts
    if parts[0] == "src" and len(parts) > 2:
        return parts[1]
    if parts[0] == "assets":
        return "shaders"
    return parts[0]


def list_mutants(mutants):
    per_folder = {}
    for m in mutants:
        index = locate(m)
        where = f"{m['file']}:{index + 1}" if index is not None else f"{m['file']}: MISSING"
        print(f"{m['id']} {where} [{m['kind']}] {m['change']}")
        print(f"     {change_text(m)}")
        folder = m["file"].rsplit("/", 1)[0]
        per_folder[folder] = per_folder.get(folder, 0) + 1
    print(f"{len(mutants)} mutants: " + ", ".join(f"{f} {n}" for f, n in sorted(per_folder.items())))


# ---------------------------------------------------------------------------------------------

def ensure_display():
    os.environ["ALSOFT_DRIVERS"] = "null"
    if os.environ.get("DISPLAY"):
        return
    if os.environ.get("FLUMBADOO_MUTANTS_XVFB"):
        sys.exit("mutants: the virtual display gave no DISPLAY")
    os.environ["FLUMBADOO_MUTANTS_XVFB"] = "1"
    # -noreset: the tests start and end hundreds of OpenGL programs one after another.
    command = ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24 -noreset",
               sys.executable, str(Path(__file__).resolve()), *sys.argv[1:]]
    try:
        os.execvp(command[0], command)
    except FileNotFoundError:
        sys.exit("mutants: no DISPLAY and no virtual display to start (scripts/install-deps.sh installs Xvfb)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", default="build-mut",
                        help="build folder, relative to the repository root (default build-mut)")
    parser.add_argument("--mutants", default=str(DEFAULT_LIST), help="the mutant list (default tests/mutants.json)")
    parser.add_argument("--only", help="comma-separated mutant ids to run")
    parser.add_argument("--results", help="JSON-lines results file (default BUILD_DIR/mutants-results.jsonl)")
    parser.add_argument("--resume", action="store_true", help="skip mutants already in the results file")
    parser.add_argument("--timeout", type=float,
                        help="time limit of one test in seconds (default: 5 times its unmutated time, at least 60)")
    parser.add_argument("--labels", default="unit,display,e2e", help="test labels to run (default unit,display,e2e)")
    parser.add_argument("--jobs", type=int, default=1, help="build jobs (default 1)")
    parser.add_argument("--ctest-args", default="",
                        help='more ctest arguments for every stage, e.g. "-j 2 -E ^PaintTool"')
    parser.add_argument("--no-baseline", action="store_true", help="skip the unmutated test run")
    parser.add_argument("--list", action="store_true", help="print the mutants at their current lines")
    parser.add_argument("--summary", action="store_true", help="print the summary of the results file")
    parser.add_argument("--generate", action="store_true", help="write the mutant list anew from the sources")
    parser.add_argument("--seed", type=int, default=1, help="seed of --generate (default 1)")
    parser.add_argument("--no-compile-check", action="store_true",
                        help="with --generate: keep mutants without compiling them first")
    parser.add_argument("--count", type=int, default=DEFAULT_COUNT, help=f"mutants --generate picks (default {DEFAULT_COUNT})")
    args = parser.parse_args()
    EXTRA_CTEST_ARGS.extend(shlex.split(args.ctest_args))
    mutants_path = Path(args.mutants).resolve()

    if args.generate:
        mutants = generate(args.seed, args.count, None if args.no_compile_check else CompileCheck())
        mutants_path.write_text(json.dumps({"seed": args.seed, "mutants": mutants}, indent=1) + "\n",
                                encoding="utf-8")
        print(f"mutants: wrote {len(mutants)} mutants to {mutants_path}")
        list_mutants(mutants)
        return 0

    mutants = load_list(mutants_path)
    if args.list:
        list_mutants(mutants)
        return 0
    build_dir = (ROOT / args.build_dir).resolve()
    results_path = Path(args.results).resolve() if args.results else build_dir / "mutants-results.jsonl"
    if args.summary:
        summary(mutants, results_path)
        return 0

    labels = [l.strip() for l in args.labels.split(",") if l.strip()]
    unknown = [l for l in labels if l not in STAGES]
    if unknown:
        parser.error(f"unknown label {', '.join(unknown)} (known: {', '.join(STAGE_ORDER)})")
    labels = [l for l in STAGE_ORDER if l in labels]
    selected = mutants
    if args.only:
        wanted = [i.strip() for i in args.only.split(",") if i.strip()]
        by_id = {m["id"]: m for m in mutants}
        missing_ids = [i for i in wanted if i not in by_id]
        if missing_ids:
            parser.error(f"no such mutant: {', '.join(missing_ids)}")
        selected = [by_id[i] for i in wanted]
    chosen = selected

    ensure_display()
    os.chdir(ROOT)
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, on_signal)
    build_dir.mkdir(parents=True, exist_ok=True)
    (build_dir / "mutant-logs").mkdir(exist_ok=True)
    repair_interrupted(build_dir)

    results_path.parent.mkdir(parents=True, exist_ok=True)
    if args.resume:
        done = read_results(results_path)
        selected = [m for m in selected if m["id"] not in done]
    elif not args.only and results_path.is_file():
        # A new full run starts a new file; with --only, the newer result of a mutant wins.
        results_path.replace(results_path.with_name(results_path.name + ".previous"))

    try:
        with open(build_dir / "mutant-logs" / "build.log", "w") as log:
            if not (build_dir / "CMakeCache.txt").is_file():
                status = run_logged(["cmake", "-S", ".", "-B", str(build_dir), "-G", "Ninja",
                                     "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], log)
                if status != 0:
                    sys.exit(f"mutants: configuring {build_dir} failed, see {log.name}")
            print(f"mutants: building {build_dir} unmutated", flush=True)
            if not build(build_dir, args.jobs, log):
                sys.exit(f"mutants: the unmutated build fails, see {log.name}")

        durations = {} if args.no_baseline else baseline(build_dir, labels)
        limits = {} if args.timeout else {t: max(60.0, 5 * d) for t, d in durations.items()}
        default_limit = args.timeout or (300 if args.no_baseline else None)

        for number, mutant in enumerate(selected, 1):
            if mutant.get("equivalent"):
                print(f"[{number}/{len(selected)}] {mutant['id']} {mutant['file']} [{mutant['kind']}] "
                      f"{mutant['change']}: equivalent, not run ({mutant['equivalent']})", flush=True)
                continue
            began = time.monotonic()
            with open(build_dir / "mutant-logs" / f"{mutant['id']}.log", "w") as log:
                log.write(f"{mutant['id']} {mutant['file']} [{mutant['kind']}] {change_text(mutant)}\n")
                status, test, index = judge(mutant, build_dir, labels, args.jobs, limits, default_limit, log)
            seconds = round(time.monotonic() - began, 1)
            record = {"id": mutant["id"], "file": mutant["file"], "line": None if index is None else index + 1,
                      "kind": mutant["kind"], "change": mutant["change"], "original": mutant["original"],
                      "replacement": mutant["replacement"], "status": status, "test": test,
                      "labels": labels, "seconds": seconds,
                      "when": time.strftime("%Y-%m-%dT%H:%M:%S")}
            with open(results_path, "a") as f:
                f.write(json.dumps(record) + "\n")
            where = f"{mutant['file']}:{record['line'] or '?'}"
            print(f"[{number}/{len(selected)}] {mutant['id']} {where} [{mutant['kind']}] {mutant['change']}: "
                  f"{status}{' by ' + test if test else ''} ({seconds:.0f} s)", flush=True)
    except KeyboardInterrupt:
        print("\nmutants: interrupted; the source is back as it was. --resume carries on.", file=sys.stderr)
        summary(chosen, results_path)
        return 130
    summary(chosen, results_path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
