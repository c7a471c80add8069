#!/usr/bin/env python3
"""Mutation runner: plants one fault at a time in the product's sources, rebuilds one build tree
incrementally, runs its ctest suite (quick levels first, stopping at the first failure) and
tells whether the suite noticed. A mutant the suite misses marks a behaviour no test observes.

    scripts/mutate.py --diff origin/main          the lines changed since a revision
    scripts/mutate.py --files device/UsbDevice.cpp ui
    scripts/mutate.py --sample 50 --seed 7        50 mutants spread over every file
    scripts/mutate.py --list --ops const,flag     what would be planted, without running
    scripts/mutate.py --ops shapes --quick        every case label, break and scaled constant

Operators (--ops): rel (< <= > >=), eq (== !=), logic (&& ||), not (a dropped !), const (a
number + 1), named (a named constant + 1), flag (one term of an OR'd flag expression dropped),
stmt / syscall (a call whose result is unused deleted: of our code / of Windows), bool (true /
false); and the shapes a reviewer plants: case (a case label deleted), fallthrough (a break;
deleted), widen (a == X gets "|| a == Y", Y another named value compared nearby), narrow (one
operand of && / || dropped), swap (two adjacent arguments of a call swapped), sibling (a call
replaced by another of the same family: readStatus0 -> readStatus1, logMessage -> logResult),
order (two adjacent statements swapped), return (an early return of the function's failure
value at the top of its body), scale (a named constant, or a literal duration, size or count,
times 10), scalediv (the same divided by 10), mask (a mask or shift removed). Comments, string
and character literals, preprocessor lines and static_asserts are never touched.

One row per mutant: file:line, operator, before -> after, killed / survived / did not build,
seconds, and the test that failed. --out FILE appends the rows (tab-separated) and resumes: a
mutant already in FILE is not run again; --summary FILE counts the rows per folder.

Refuses a tree with uncommitted changes, restores every source it touched (Ctrl+C included) and
leaves the build tree rebuilt from the clean sources.
"""
import argparse
import collections
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT = ["app", "ui", "update", "device", "framework", "base", "platform"]
OPS = ["rel", "eq", "logic", "not", "const", "named", "flag", "stmt", "syscall", "bool",
       "case", "fallthrough", "widen", "narrow", "swap", "sibling", "order", "return", "scale",
       "scalediv", "mask"]
# The sites no test may leave unobserved: named constants, relational boundaries, flags handed
# to Windows, the calls whose effect only the system sees, and the conditions of fallbacks.
SITES = ["flag", "named", "syscall", "not", "rel"]
# The new shapes swept at every site (scale: times 10 only); the others are sampled.
SHAPES = ["case", "fallthrough", "scale"]
# The end-to-end entries that repeat e2e_ja_JP's scenarios in another locale, at another DPI or
# on the signed release: --quick leaves them out while sweeping; its survivors then run again
# with every entry (--from FILE).
REPEATS = re.compile(r"^e2e_(en_US|de_DE|dpi144|signed_release)$")
LEVELS = ["unit", "integration", "e2e"]  # quick levels first; unlabelled entries run last
HANG_FACTOR = 3  # a test past this many times its clean length counts as a hang (killed)
HANG_SLACK = 20  # seconds always allowed on top, for a machine under load

Mutant = collections.namedtuple("Mutant", "path line col op before after text")


def mutant_id(m):
    """Names a mutant by its line's text, not its number, so that a resumed run still knows it
    after lines moved above it."""
    indent = len(m.text) - len(m.text.lstrip())
    return f"{m.path}|{m.text.strip()}|{m.col - indent}|{m.op}|{one_line(m.after)}"


def one_line(text):
    """An order or return mutant's text spans lines: a row of the .tsv keeps it on one."""
    return " ".join(text.split())


# --- finding the sites -------------------------------------------------------------------------


def mask(text):
    """The text with comments, string and character literals blanked (newlines kept), so that
    positions stay those of the source."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not text[i - 1].isalnum()):
            delim = text[i + 2 : text.find("(", i)]
            j = text.find(")" + delim + '"', i) + len(delim) + 2
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            for k in range(i + 1, min(j, n)):  # the quotes stay, what is inside goes
                out[k] = " "
            i = j + 1
            continue
        else:
            i += 1
            continue
        for k in range(i, min(j, n)):
            if out[k] != "\n":
                out[k] = " "
        i = max(j, i + 1)
    return "".join(out)


def skipped_line(masked_line):
    s = masked_line.strip()
    return (
        not s
        or s.startswith("#")
        or "static_assert" in s
        or s.startswith("template")
        or s.startswith("using ")
    )


NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.])")
# A line that gives a constant its value: constexpr, const, an enumerator.
NAMED = re.compile(r"\b(constexpr|const)\b.*=|^\s*[A-Za-z_]\w*\s*=\s*[-\w]+,?\s*$")
CALL_START = re.compile(r"^(\s*)(::)?[A-Za-z_][\w]*(\s*(::|\.|->)\s*[A-Za-z_]\w*)*\s*\(")
NOT_CALLS = {"if", "while", "for", "switch", "return", "sizeof", "static_assert", "catch",
             "delete", "throw", "case", "do", "else", "assert", "defined"}


def statement_end(masked, start):
    """Index just past the ';' that ends the statement starting at `start`, or -1 when it is not
    a plain statement (a block, a lambda body or a declaration with braces)."""
    depth = 0
    for k in range(start, len(masked)):
        c = masked[k]
        if c in "([":
            depth += 1
        elif c in ")]":
            depth -= 1
        elif c == "{" or c == "}":
            return -1
        elif c == ";" and depth == 0:
            return k + 1
    return -1


def code_scopes(masked):
    """For every offset, whether it lies in a function body (where a line is a statement) rather
    than in a class, namespace, enum or initialiser."""
    inside = bytearray(len(masked))
    stack = [False]
    for k, c in enumerate(masked):
        if c == "{":
            before = masked[max(0, k - 80) : k].rstrip()
            if re.search(r"(\)|\]|\bconst|\bnoexcept|\boverride|\belse|\bdo|\btry)$", before):
                stack.append(True)
            else:
                stack.append(stack[-1] and before[-1:] in (";", "{", "}", ""))
        elif c == "}" and len(stack) > 1:
            stack.pop()
        inside[k] = stack[-1]
    return inside


def flag_terms(masked_line):
    """Spans (start, end) of the terms of each `A | B | C` expression on a line, with the
    separators that go with them, as the text to remove for each mutant."""
    spans = []
    term = r"[A-Za-z_][\w:]*(\([^()]*\))?"
    for m in re.finditer(rf"{term}(\s\|\s{term})+", masked_line):
        expr = m.group(0)
        parts = [p for p in re.finditer(term, expr) if expr[p.start() - 1 : p.start()] in ("", " ")]
        seps = [s.start() for s in re.finditer(r"\s\|\s", expr)]
        if len(parts) != len(seps) + 1:
            continue
        for k, p in enumerate(parts):
            if k == 0:
                spans.append((m.start() + p.start(), m.start() + seps[0] + 3))
            else:
                spans.append((m.start() + seps[k - 1], m.start() + p.end()))
    return spans


def mutants_of(path, ops):
    text = open(os.path.join(ROOT, path), encoding="utf-8").read()
    masked = mask(text)
    lines = text.split("\n")
    mlines = masked.split("\n")
    offsets = [0]
    for line in lines:
        offsets.append(offsets[-1] + len(line) + 1)
    found = []
    in_code = code_scopes(masked)

    def add(line_no, col, op, before, after):
        found.append(Mutant(path, line_no + 1, col + 1, op, before, after, lines[line_no]))

    for no, (line, ml) in enumerate(zip(lines, mlines)):
        if skipped_line(ml):
            continue
        if "rel" in ops:
            for m in re.finditer(r"(?<= )(<=|>=|<|>)(?= )", ml):
                swap = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}[m.group(1)]
                add(no, m.start(), "rel", m.group(1), swap)
        if "eq" in ops:
            for m in re.finditer(r"(?<= )(==|!=)(?= )", ml):
                add(no, m.start(), "eq", m.group(1), "!=" if m.group(1) == "==" else "==")
        if "logic" in ops:
            for m in re.finditer(r"(?<= )(&&|\|\|)(?= )", ml):
                add(no, m.start(), "logic", m.group(1), "||" if m.group(1) == "&&" else "&&")
        if "not" in ops:
            for m in re.finditer(r"!(?!=)", ml):
                add(no, m.start(), "not", "!", "")
        if "bool" in ops:
            for m in re.finditer(r"\b(true|false)\b", ml):
                add(no, m.start(), "bool", m.group(1), "false" if m.group(1) == "true" else "true")
        named = bool(NAMED.search(ml))
        if ("named" if named else "const") in ops:
            for m in NUMBER.finditer(ml):
                digits, suffix = m.group(1), m.group(2)
                if digits.lower().startswith("0x"):
                    after = "0x%X" % (int(digits, 16) + 1)
                else:
                    after = str(int(digits) + 1)
                add(no, m.start(), "named" if named else "const", digits + suffix,
                    after + suffix)
        if "flag" in ops:
            for start, end in flag_terms(ml):
                add(no, start, "flag", line[start:end], "")
        m = CALL_START.match(ml)
        word = re.match(r"\s*(::)?(\w+)", ml)
        # A call of Windows (a capitalised free function), whose effect only the system sees.
        op = "syscall" if word and (word.group(1) or word.group(2)[0].isupper()) and \
            not re.match(r"\s*(::)?\w+\s*(::|\.|->)", ml) else "stmt"
        if op in ops:
            begin = offsets[no] + len(m.group(1)) if m else 0
            if m and word and word.group(2) not in NOT_CALLS and in_code[begin]:
                end = statement_end(masked, begin)
                prev = masked[: offsets[no]].rstrip()
                # A statement of its own (not a continued expression or an initialiser list),
                # ending in the call's closing parenthesis: its result is unused.
                if end > 0 and prev[-1:] in ("", ";", "{", "}", ")", ":") and \
                        masked[begin:end - 1].rstrip().endswith(")") and \
                        not re.search(r"(?<![=!<>])=(?!=)", masked[begin:end]):
                    add(no, len(m.group(1)), op, text[begin:end], ";")
    found += shape_mutants(path, text, masked, in_code, ops, add)
    return found


# --- the shapes a reviewer plants --------------------------------------------------------------

IDENT = r"[A-Za-z_]\w*(?:(?:::|\.|->)[A-Za-z_]\w*)*"
# A value with a name of its own: a constant, an enumerator or a qualified one.
NAMED_VALUE = re.compile(r"^(?:[A-Za-z_]\w*::)*(?:[A-Z][A-Z0-9_]+|[a-z]\w*[A-Z]\w*)$")
FUNCTION_START = re.compile(
    r"^([A-Za-z_][\w:<>,*& ]*?)\s+\**&?(?:[\w~]+::)*[\w~]+\(.*\)\s*(const\s*)?(noexcept\s*)?"
    r"(override\s*)?\{\s*$")
FAILURE = {"void": "return;", "bool": "return false;", "int": "return -1;",
           "INT_PTR": "return -1;", "LRESULT": "return -1;", "DWORD": "return 0;",
           "BOOL": "return FALSE;", "HRESULT": "return E_FAIL;", "HICON": "return nullptr;",
           "HWND": "return nullptr;", "HANDLE": "return nullptr;", "UINT": "return 0;",
           "std::string": "return {};", "std::wstring": "return {};", "size_t": "return 0;",
           "std::size_t": "return 0;", "EXECUTION_STATE": "return 0;", "char": "return 0;"}


def balanced_end(text, start, closer=")"):
    """Index of the bracket that closes the one just before `start`, or -1."""
    depth = 0
    for k in range(start, len(text)):
        c = text[k]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            if depth == 0:
                return k if c == closer else -1
            depth -= 1
    return -1


def top_level_commas(text, start, end):
    commas, depth = [], 0
    for k in range(start, end):
        c = text[k]
        if c in "([{<":
            depth += 1 if c != "<" or re.match(r"\w", text[k - 1 : k] or " ") else 0
        elif c in ")]}>":
            depth -= 1 if c != ">" or depth > 0 and text[k - 1 : k] != "-" else 0
        elif c == "," and depth == 0:
            commas.append(k)
    return commas


def operand_edge(ml, k, step):
    """Where an operand of && / || that begins at `k` ends, going left (step -1) or right (+1):
    at the enclosing bracket, another && / ||, or the edge of the expression."""
    opens, closes = ("([", ")]") if step > 0 else (")]", "([")
    stops = ",;?:{" if step > 0 else ",;=?{"
    depth = 0
    while 0 <= k < len(ml):
        c = ml[k]
        pair = ml[k : k + 2] if step > 0 else ml[k - 1 : k + 1]
        if c in opens:
            depth += 1
        elif c in closes:
            if depth == 0:
                break
            depth -= 1
        elif depth == 0 and (pair in ("&&", "||") or c in stops or
                             (step < 0 and ml[max(0, k - 6) : k + 1].endswith("return "))):
            break
        k += step
    return k


def operand_bounds(ml, op_start, op_end):
    """The operands left and right of a && / || at [op_start, op_end) on one line."""
    return operand_edge(ml, op_start - 1, -1) + 1, operand_edge(ml, op_end, 1)


def declared_functions():
    """Every function a product header declares, by header: the families of `sibling`."""
    families = collections.defaultdict(set)
    for path in product_files():
        if not path.endswith(".h"):
            continue
        masked = mask(open(os.path.join(ROOT, path), encoding="utf-8").read())
        for m in re.finditer(r"\b([a-z][A-Za-z0-9]*)\s*\([^;{}]*\)\s*(const\s*)?(noexcept\s*)?"
                             r"(override\s*)?(=\s*0\s*)?[;{]", masked):
            families[path].add(m.group(1))
    return families


_families = None


def siblings(name):
    """Other functions of the header that declares `name`, with its first word (read, send,
    log, to): a mix-up the compiler accepts when the arguments fit."""
    global _families
    if _families is None:
        _families = declared_functions()
    first = re.match(r"[a-z]+", name).group(0)
    found = set()
    for names in _families.values():
        if name in names:
            found |= {n for n in names if n != name and re.match(r"[a-z]+", n).group(0) == first}
    return sorted(found)


def shape_mutants(path, text, masked, in_code, ops, add):
    lines, mlines = text.split("\n"), masked.split("\n")
    offsets = [0]
    for line in lines:
        offsets.append(offsets[-1] + len(line) + 1)
    found_before = []

    def code(no, col=0):
        return in_code[min(offsets[no] + col, len(in_code) - 1)]

    # Named values compared in the file, by line, for `widen`.
    compared = []
    for no, ml in enumerate(mlines):
        for m in re.finditer(r"(?:==|!=|\bcase)\s+(" + IDENT + r")\b(?!\s*\()", ml):
            if NAMED_VALUE.match(m.group(1)):
                compared.append((no, m.group(1)))

    function_type = None
    for no, (line, ml) in enumerate(zip(lines, mlines)):
        start = FUNCTION_START.match(ml)
        if start and not ml.startswith(" "):
            function_type = " ".join(w for w in start.group(1).split()
                                     if w not in ("static", "inline", "virtual", "constexpr",
                                                  "explicit", "WINAPI", "CALLBACK"))
            if "return" in ops and function_type in FAILURE and no + 1 < len(lines):
                first = mlines[no + 1]
                indent = len(first) - len(first.lstrip())
                if first.strip() and not first.strip().startswith("}"):
                    add(no + 1, indent, "return", "", FAILURE[function_type] + " ")
        if skipped_line(ml):
            continue
        if "case" in ops:
            for m in re.finditer(r"\bcase\s+[^:;]+:(?!:)\s?", ml):
                add(no, m.start(), "case", line[m.start() : m.end()], "")
        if "fallthrough" in ops:
            for m in re.finditer(r"\bbreak;", ml):
                add(no, m.start(), "fallthrough", "break;", "")
        if "widen" in ops and code(no):
            for m in re.finditer(r"(?<![\w)\]])(" + IDENT + r")\s(==|!=)\s(" + IDENT + r")\b(?!\s*\()",
                                 ml):
                value = m.group(3)
                if not NAMED_VALUE.match(value):
                    continue
                near = [v for n, v in compared if v != value and abs(n - no) <= 40]
                if not near:
                    continue
                other = min(((abs(n - no), v) for n, v in compared if v in near))[1]
                joiner = "||" if m.group(2) == "==" else "&&"
                before = line[m.start() : m.end()]
                add(no, m.start(), "widen", before,
                    f"({before} {joiner} {m.group(1)} {m.group(2)} {other})")
        if "narrow" in ops and code(no):
            for m in re.finditer(r" (&&|\|\|) ", ml):
                left, right = operand_bounds(ml, m.start(), m.end())
                lhs, rhs = line[left : m.start()], line[m.end() : right]
                if lhs.strip() and rhs.strip():
                    add(no, left, "narrow", lhs + m.group(0) + rhs, rhs.strip())
                    add(no, left, "narrow", lhs + m.group(0) + rhs, lhs.strip())
        if ("swap" in ops or "sibling" in ops) and code(no):
            for m in re.finditer(r"(?<![\w.])((?:[A-Za-z_]\w*(?:::|\.|->))*)([A-Za-z_]\w*)\(", ml):
                name = m.group(2)
                if name in NOT_CALLS:
                    continue
                close = balanced_end(ml, m.end())
                if "swap" in ops and close > 0:
                    bounds = [m.end() - 1] + top_level_commas(ml, m.end(), close) + [close]
                    args = [line[a + 1 : b] for a, b in zip(bounds, bounds[1:])]
                    for k in range(len(args) - 1):
                        a, b = args[k], args[k + 1]
                        if a.strip() and b.strip() and a.strip() != b.strip():
                            lead = lambda arg: arg[: len(arg) - len(arg.lstrip())]
                            add(no, bounds[k] + 1, "swap", a + "," + b,
                                lead(a) + b.strip() + "," + lead(b) + a.strip())
                if "sibling" in ops and name[0].islower():
                    for other in siblings(name)[:2]:
                        add(no, m.start(2), "sibling", name, other)
        if "order" in ops and code(no) and no + 1 < len(lines):
            nxt = mlines[no + 1]
            plain = re.compile(r"^(\s+)(?!return\b|break\b|case\b|default\b|continue\b|else\b)"
                               r"[^{}]*;\s*$")
            a, b = plain.match(ml), plain.match(nxt)
            if a and b and a.group(1) == b.group(1) and code(no + 1) and \
                    not mlines[no - 1].rstrip().endswith((",", "(", "=", "&&", "||")) and \
                    ml.rstrip().endswith(";") and lines[no].strip() != lines[no + 1].strip():
                add(no, 0, "order", lines[no] + "\n" + lines[no + 1],
                    lines[no + 1] + "\n" + lines[no])
        named = bool(NAMED.search(ml))
        if ("scale" in ops or "scalediv" in ops) and (named or code(no)):
            for m in NUMBER.finditer(ml):
                digits, suffix = m.group(1), m.group(2)
                hexa = digits.lower().startswith("0x")
                value = int(digits, 16) if hexa else int(digits)
                # A duration, size or count: a decimal number of 2 or more; bits and masks are
                # hexadecimal.
                # Not an error code (negative), an index or a case label.
                if hexa or value < 2 or ml[m.end() : m.end() + 1] == "]" or \
                        ml[: m.start()].rstrip().endswith("-") or re.match(r"\s*case\b", ml):
                    continue
                if "scale" in ops:
                    add(no, m.start(), "scale", digits + suffix, str(value * 10) + suffix)
                if "scalediv" in ops:
                    add(no, m.start(), "scalediv", digits + suffix, str(value // 10) + suffix)
        if "mask" in ops and code(no):
            for m in re.finditer(r"(?<=[\w)\]])\s(&|>>|<<)\s(0[xX][0-9a-fA-F]+|\d+|[A-Za-z_][\w:]*)"
                                 r"(?![\w(])", ml):
                if m.group(1) == "&" and not m.group(2)[0].isdigit() and \
                        not NAMED_VALUE.match(m.group(2)):
                    continue
                add(no, m.start(), "mask", line[m.start() : m.end()], "")
    return found_before


def apply(text, m):
    lines = text.split("\n")
    start = sum(len(line) + 1 for line in lines[: m.line - 1]) + m.col - 1
    assert text.startswith(m.before, start), m
    # A deleted statement keeps its line breaks, so that the lines after it keep their numbers.
    after = m.after + "\n" * m.before.count("\n") if m.op == "stmt" else m.after
    return text[:start] + after + text[start + len(m.before) :]


def relocated(text, m):
    """The mutant moved to where its line is now (the nearest line with the same text), or None
    when no such line is left."""
    lines = text.split("\n")
    if m.line <= len(lines) and lines[m.line - 1] == m.text:
        return m
    same = [k + 1 for k, line in enumerate(lines) if line == m.text]
    if not same:
        return None
    return m._replace(line=min(same, key=lambda k: abs(k - m.line)))


def product_files(paths=None):
    roots = paths or PRODUCT
    files = []
    for r in roots:
        full = os.path.join(ROOT, r)
        if os.path.isfile(full):
            files.append(os.path.relpath(full, ROOT))
            continue
        for base, _, names in os.walk(full):
            files += [os.path.relpath(os.path.join(base, n), ROOT) for n in sorted(names)
                      if n.endswith((".cpp", ".h"))]
    return sorted(files)


def changed_lines(rev):
    out = git("diff", "-U0", rev, "--", *PRODUCT)
    changed, path = collections.defaultdict(set), None
    for line in out.splitlines():
        if line.startswith("+++ "):
            path = line[6:] if line.startswith("+++ b/") else None
        elif line.startswith("@@") and path:
            m = re.search(r"\+(\d+)(?:,(\d+))?", line)
            start, count = int(m.group(1)), int(m.group(2) or 1)
            changed[path].update(range(start, start + count))
    return changed


def sample(mutants, n, seed):
    """n mutants spread over the files: round robin over the files in a random order."""
    rng = random.Random(seed)
    by_file = collections.defaultdict(list)
    for m in mutants:
        by_file[m.path].append(m)
    for ms in by_file.values():
        rng.shuffle(ms)
    files = sorted(by_file)
    rng.shuffle(files)
    chosen = []
    while len(chosen) < n and any(by_file.values()):
        for f in files:
            if by_file[f] and len(chosen) < n:
                chosen.append(by_file[f].pop())
    return chosen


# --- running -----------------------------------------------------------------------------------


def git(*args):
    return subprocess.run(["git", "-C", ROOT, *args], check=True, capture_output=True,
                          text=True).stdout


def build(tree, quiet=True):
    r = subprocess.run(["cmake", "--build", tree], capture_output=quiet, text=True)
    return r.returncode == 0


class Suite:
    """The ctest entries of one tree, quick levels first, with the clean run's length of each."""

    def __init__(self, tree, quick=False):
        self.tree = tree
        info = json.loads(subprocess.run(["ctest", "--test-dir", tree, "--show-only=json-v1"],
                                         check=True, capture_output=True, text=True).stdout)
        tests = []
        for t in info["tests"]:
            props = {p["name"]: p["value"] for p in t.get("properties", [])}
            if props.get("FIXTURES_SETUP") or props.get("FIXTURES_CLEANUP"):
                continue  # run with the tests that need them
            if quick and REPEATS.match(t["name"]):
                continue
            labels = props.get("LABELS", [])
            rank = min([LEVELS.index(l) for l in labels if l in LEVELS] or [len(LEVELS)])
            tests.append((rank, t["name"]))
        self.names = [name for _, name in sorted(tests)]
        self.usual = {}

    def start(self):
        subprocess.run([os.path.join(ROOT, "scripts", "wine-prefix.sh"), self.tree],
                       check=True, capture_output=True)

    def stop(self):
        subprocess.run([os.path.join(self.tree, "wine-run"), "--server", "-k"],
                       capture_output=True)

    def run_one(self, name, limit):
        """True when the entry passed; False when it failed or ran past `limit` seconds."""
        # The prefix's server runs for the whole sweep: its fixture's steps are left out.
        cmd = ["ctest", "--test-dir", self.tree, "-R", f"^{re.escape(name)}$",
               "--fixture-exclude-any", "wine_prefix", "--output-on-failure"]
        p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                             start_new_session=True)
        try:
            p.communicate(timeout=limit)
            return p.returncode == 0
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.communicate()
            self.stop()  # ends whatever the hung test left running under Wine
            self.start()
            return False
        except BaseException:
            os.killpg(p.pid, signal.SIGKILL)  # interrupted: the test goes with the runner
            raise

    def measure(self, cache):
        """Runs the clean suite once, for the length of each entry; a resumed run reads them
        from `cache` (beside the --out file)."""
        self.start()
        if cache and os.path.exists(cache):
            with open(cache) as f:
                self.usual = json.load(f)
            if set(self.usual) == set(self.names):
                return
        for name in self.names:
            t = time.monotonic()
            if not self.run_one(name, 3600):
                sys.exit(f"mutate: {name} fails on the clean sources: fix it first")
            self.usual[name] = time.monotonic() - t
        if cache:
            with open(cache, "w") as f:
                json.dump(self.usual, f)
        print("mutate: clean suite %.0f s (%s)" % (sum(self.usual.values()), ", ".join(
            "%s %.0f s" % (n, s) for n, s in self.usual.items())), flush=True)

    def first_failure(self):
        for name in self.names:
            limit = self.usual[name] * HANG_FACTOR + HANG_SLACK
            # A failure counts once a second run confirms it: an end-to-end test upset by a
            # loaded machine (clones side by side) kills no mutant.
            if not self.run_one(name, limit) and not self.run_one(name, limit):
                return name
        return None


class Restorer:
    """Puts back the original text of every file it changed, on every way out."""

    def __init__(self):
        self.saved = {}

    def write(self, path, text):
        full = os.path.join(ROOT, path)
        if path not in self.saved:
            self.saved[path] = open(full, encoding="utf-8", newline="").read()
        with open(full, "w", encoding="utf-8", newline="") as f:
            f.write(text)

    def restore(self):
        for path, text in self.saved.items():
            with open(os.path.join(ROOT, path), "w", encoding="utf-8", newline="") as f:
                f.write(text)
        self.saved.clear()


def run(mutants, tree, out, quick=False):
    done = set()
    if out and os.path.exists(out):
        with open(out, encoding="utf-8") as f:
            done = {line.split("\t")[0] for line in f if line.strip()}
    todo = [m for m in mutants if mutant_id(m) not in done]
    print(f"mutate: {len(mutants)} mutants, {len(mutants) - len(todo)} already in {out}"
          if done else f"mutate: {len(mutants)} mutants", flush=True)
    if not todo:
        return
    if not build(tree, quiet=False):
        sys.exit("mutate: the clean sources don't build")
    suite = Suite(tree, quick)
    suite.measure(out + (".quick" if quick else "") + ".clean.json" if out else None)
    restorer = Restorer()
    counts = collections.Counter()
    began = time.monotonic()

    def interrupted(signum, frame):
        raise KeyboardInterrupt

    signal.signal(signal.SIGTERM, interrupted)
    try:
        for k, m in enumerate(todo, 1):
            t = time.monotonic()
            original = open(os.path.join(ROOT, m.path), encoding="utf-8", newline="").read()
            m = relocated(original, m)
            if m is None:
                continue  # its line is gone: the source changed since the list was made
            restorer.write(m.path, apply(original, m))
            killer = ""
            if not build(tree):
                result = "did not build"
            else:
                killer = suite.first_failure() or ""
                result = "killed" if killer else "survived"
            restorer.restore()
            seconds = time.monotonic() - t
            counts[result] += 1
            before = one_line(m.before)
            row = [mutant_id(m), f"{m.path}:{m.line}", m.op, before, one_line(m.after), result,
                   "%.0f" % seconds, killer]
            print("%4d/%d  %-34s %-5s %s -> %s  %s  %.0f s %s" % (
                k, len(todo), row[1], m.op, before[:60], row[4] or "(nothing)", result, seconds,
                killer), flush=True)
            if out:
                with open(out, "a", encoding="utf-8") as f:
                    f.write("\t".join(row) + "\n")
    except KeyboardInterrupt:
        print("mutate: interrupted", flush=True)
    finally:
        restorer.restore()
        suite.stop()
        print("mutate: rebuilding from the clean sources", flush=True)
        build(tree)
    print("mutate: %d killed, %d survived, %d did not build (%.0f s)" % (
        counts["killed"], counts["survived"], counts["did not build"],
        time.monotonic() - began), flush=True)


def summary(out):
    per = collections.defaultdict(collections.Counter)
    rows = [line.rstrip("\n").split("\t") for line in open(out, encoding="utf-8") if line.strip()]
    for row in rows:
        per[row[1].split("/")[0]][row[5]] += 1
    print("%-10s %7s %7s %8s %13s" % ("folder", "mutants", "killed", "survived", "did not build"))
    for folder in PRODUCT:
        c = per.get(folder)
        if c:
            print("%-10s %7d %7d %8d %13d" % (folder, sum(c.values()), c["killed"], c["survived"],
                                              c["did not build"]))
    for row in rows:
        if row[5] == "survived":
            # A ninth column, written by hand, says what the survivor is.
            verdict = (": " + row[8]) if len(row) > 8 and row[8] else ""
            print("survived: %s %s %s -> %s%s" % (row[1], row[2], row[3], row[4] or "(nothing)",
                                                  verdict))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--diff", metavar="REV", help="only lines changed since REV")
    ap.add_argument("--files", nargs="+", metavar="PATH", help="only these files or folders")
    ap.add_argument("--sample", type=int, metavar="N", help="N mutants spread over the files")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--ops", default=",".join(OPS),
                    help="comma-separated: %s, or 'sites' for %s, or 'shapes' for %s" % (
                        ",".join(OPS), ",".join(SITES), ",".join(SHAPES)))
    ap.add_argument("--shard", metavar="K/N", help="only the K-th of N equal parts (1-based), "
                    "for N build trees side by side")
    ap.add_argument("--from", dest="rerun", metavar="FILE",
                    help="only the mutants that survived in an --out FILE (after a fix)")
    ap.add_argument("--build", default=os.path.join(ROOT, "build", "x86_64"), metavar="DIR",
                    help="the build tree to rebuild and test (default build/x86_64)")
    ap.add_argument("--out", metavar="FILE", help="append rows here; resume from it")
    ap.add_argument("--quick", action="store_true",
                    help="leave out the end-to-end entries that repeat e2e_ja_JP's scenarios "
                    "(run the survivors again without it)")
    ap.add_argument("--list", action="store_true", help="list the mutants, run nothing")
    ap.add_argument("--summary", metavar="FILE", help="count an --out file's rows per folder")
    args = ap.parse_args()

    if args.summary:
        return summary(args.summary)
    ops = {"sites": SITES, "shapes": SHAPES}.get(args.ops) or args.ops.split(",")
    unknown = set(ops) - set(OPS)
    if unknown:
        sys.exit("mutate: unknown operator(s) %s; known: %s" % (",".join(unknown), ",".join(OPS)))
    files = product_files(args.files)
    # In the order of the operators given: the likeliest blind spots first.
    mutants = sorted((m for f in files for m in mutants_of(f, ops)), key=lambda m: ops.index(m.op))
    if args.diff:
        changed = changed_lines(args.diff)
        mutants = [m for m in mutants if m.line in changed.get(m.path, ())]
    if args.rerun:
        with open(args.rerun, encoding="utf-8") as f:
            survived = {row.split("\t")[0] for row in f if row.split("\t")[5:6] == ["survived"]}
        mutants = [m for m in mutants if mutant_id(m) in survived]
    if args.sample:
        mutants = sample(mutants, args.sample, args.seed)
    if args.shard:
        k, n = (int(x) for x in args.shard.split("/"))
        mutants = mutants[k - 1 :: n]
    if args.list:
        for m in mutants:
            print("%s:%d  %-5s %s -> %s" % (m.path, m.line, m.op, " ".join(m.before.split())[:70],
                                           " ".join(m.after.split())[:70] or "(nothing)"))
        print(f"mutate: {len(mutants)} mutants")
        return
    if git("status", "--porcelain", "--untracked-files=no").strip():
        sys.exit("mutate: the tree has uncommitted changes: commit or stash them first")
    if not os.path.isfile(os.path.join(args.build, "CMakeCache.txt")):
        sys.exit(f"mutate: {args.build} is no build tree: scripts/build.sh ARCH makes one")
    run(mutants, os.path.abspath(args.build), args.out, args.quick)


if __name__ == "__main__":
    main()
