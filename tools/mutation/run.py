#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Mutation check: puts one small fault at a time into a scratch copy of the committed tree, rebuilds,
runs the tests that should notice it and reports which faults the tests kill and which survive.

Usage: tools/mutation/run.py [options] [filter ...]
Each filter is a regular expression searched in the mutant ids; without one, every mutant runs.
The hand-written faults are tools/mutation/mutants.txt; --generate N adds N faults that the tool makes
itself. docs/testing.md explains both.
"""

import argparse
import hashlib
import io
import json
import os
import random
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

# The tests that judge a generated mutant, by the top folder of its file: every fast test that can see
# the folder's behaviour. The real-time labels (e2e, e2e-audio, package) are left out as too slow for
# each mutant; docs/testing.md has the measured times.
FOLDER_TESTS = {
    "app": "-L ^(app|program|title|game|render|audio|screens)$",
    "render": "-L ^(render|assets|game|title|screens)$",
    "audio": "-L ^(audio|game)$",
    "game": "-L ^(game|title|counters|screens)$",
}

# Tests that see a folder's code only on sdl12-compat, the SDL 1.2 over SDL2: they run once more with
# its library when tools/install-deps.sh --tests has unpacked it into the repository's build/sdl12-compat.
COMPAT_TESTS = {"app": ["-R", "^Program\\.wayland$"]}


def top_folder(path):
    """The top folder of a path from the top of the tree: "app" for "app/Settings.cpp"."""
    return path.split("/")[0]


class Fault:
    """What every mutant of a file shares: the subsystem its file belongs to."""

    @property
    def subsystem(self):
        return SUBSYSTEMS.get(top_folder(self.file), "other")


class Mutant(Fault):
    """One entry of the list and what became of it; its fields (file, tests, ...) read as attributes."""

    kind = "hand-written"

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
    def description(self):
        return self.breaks

    def apply(self, text):
        return text.replace(self.find, self.replace)

    def where(self, text):
        """The line number, the original line and the changed line."""
        offset = text.find(self.find)
        start = text.rfind("\n", 0, offset) + 1
        end = text.find("\n", offset)
        original = text[start:end if end >= 0 else len(text)]
        return text.count("\n", 0, offset) + 1, original, original.replace(self.find, self.replace)


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


# --- Generated mutants --------------------------------------------------------------------------------

KEYWORDS = {
    "alignas", "alignof", "auto", "bool", "break", "case", "catch", "char", "class", "const", "const_cast",
    "constexpr", "continue", "default", "delete", "do", "double", "dynamic_cast", "else", "enum", "explicit",
    "extern", "float", "for", "friend", "goto", "if", "inline", "int", "long", "mutable", "namespace", "new",
    "noexcept", "operator", "override", "private", "protected", "public", "reinterpret_cast", "return", "short",
    "signed", "sizeof", "static", "static_assert", "static_cast", "struct", "switch", "template", "throw", "try",
    "typedef", "typename", "union", "unsigned", "using", "virtual", "void", "volatile", "while",
}
PUNCTUATION = sorted(""">>= <<= ->* ... -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= :: .*
                        { } [ ] ( ) ; : ? , . + - * / % ^ & | ~ ! = < >""".split(), key=len, reverse=True)
TOKEN = re.compile(r"(?P<space>\s+)|(?P<ident>[A-Za-z_]\w*)|(?P<number>\.?\d(?:[eEpP][+-]|[\w.])*)"
                   r"|(?P<string>\"[^\"]*\")|(?P<char>'[^']*')"
                   r"|(?P<punct>" + "|".join(re.escape(p) for p in PUNCTUATION) + r")|(?P<other>.)")
INTEGER = re.compile(r"(0[xX][0-9a-fA-F]+|[1-9]\d*|0)([uUlL]*)")
FLOATING = re.compile(r"(\d+\.\d*|\.\d+|\d+(?=[eE]))([eE][+-]?\d+)?([fFlL]?)")
NUMERIC_TYPE = re.compile(r"((unsigned|signed)\s+)?(int|long|short|char|float|double|unsigned|(std::)?s?size_t|"
                          r"(std::)?u?int\d+_t|[US]int\d+|GL(u?int|ubyte|float|enum))(\s+(int|long))?")
CALL_STATEMENT = re.compile(r"(::)?[A-Za-z_]\w*(\s*(::|\.|->)\s*[A-Za-z_]\w*)*\s*\(.*\)\s*;")
# A relational operator becomes its neighbour across the boundary, then the one facing the other way.
RELATIONAL = {"<": ("<=", ">"), "<=": ("<", ">="), ">": (">=", "<"), ">=": (">", "<=")}
SWAPS = {"==": "!=", "!=": "==", "+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=",
         "/=": "*=", "&&": "||", "||": "&&", "++": "--", "--": "++"}
CONTROL = re.compile(r"(if|for|while|switch|catch|else|do)\b")
# The operators in the order of the docs' table; the last five make the faults that operator swaps miss.
OPERATORS = ("relational", "equality", "logical", "arithmetic", "increment", "constant", "condition", "call", "return",
             "partner", "arguments", "statement", "bound", "environment")
NEW_OPERATORS = OPERATORS[-5:]


class Token:
    def __init__(self, kind, text, start):
        self.kind = kind
        self.text = text
        self.start = start
        self.end = start + len(text)
        # Part of a template argument list, its angle brackets included.
        self.template = False

    def ends_operand(self):
        if self.kind == "ident":
            return self.text not in KEYWORDS
        return self.kind in ("number", "string", "char") or self.text in (")", "]")


def mask_code(text):
    """The file's lines with comments blanked and the insides of string and character literals
    overwritten, column for column, so that nothing in them is taken for code; and the numbers (from 0)
    of the preprocessor lines."""
    out = []
    state = "code"
    i = 0
    while i < len(text):
        c = text[i]
        pair = text[i:i + 2]
        if state == "code":
            if pair in ("//", "/*"):
                state = "line" if pair == "//" else "block"
                out.append("  ")
                i += 2
                continue
            if c in "\"'":
                state = c
            out.append(c)
        elif state == "line" or state == "block":
            if state == "block" and pair == "*/":
                state = "code"
                out.append("  ")
                i += 2
                continue
            if c == "\n" and state == "line":
                state = "code"
            out.append(c if c == "\n" else " ")
        else:
            if c == "\\" and i + 1 < len(text) and text[i + 1] != "\n":
                out.append("__")
                i += 2
                continue
            if c == state or c == "\n":
                state = "code"
                out.append(c)
            else:
                out.append("_")
        i += 1
    lines = "".join(out).split("\n")
    preprocessor = set()
    continued = False
    for number, line in enumerate(lines):
        if continued or line.lstrip().startswith("#"):
            preprocessor.add(number)
            continued = line.rstrip().endswith("\\")
    return lines, preprocessor


def tokenize(masked):
    tokens = [Token(m.lastgroup, m.group(), m.start()) for m in TOKEN.finditer(masked) if m.lastgroup != "space"]
    # A "<" right after a name (vector<int>, static_cast<float>) or after "template" opens a template
    # argument list, closed by the matching ">". The code writes comparisons with a blank on each side,
    # so "a<b" is taken for a template too and left alone.
    for i, token in enumerate(tokens):
        if token.text != "<" or token.template or i == 0:
            continue
        before = tokens[i - 1]
        if not (before.text == "template" or before.kind == "ident" and before.end == token.start):
            continue
        token.template = True
        depth = 1
        for j in range(i + 1, len(tokens)):
            after = tokens[j]
            if after.text == "<":
                depth += 1
            elif after.text in (">", ">>"):
                depth -= len(after.text)
                if depth <= 0:
                    # Everything in the list is part of a type: a size there cannot change freely.
                    for inside in tokens[i + 1:j + 1]:
                        inside.template = True
                    break
            elif after.text in (";", "{", "}", "&&", "||"):
                break
    return tokens


def closing(tokens, i):
    """The index of the bracket that closes the one at i, or None if it is not on the line."""
    opening = tokens[i].text
    close = {"(": ")", "[": "]", "{": "}"}[opening]
    depth = 0
    for j in range(i, len(tokens)):
        if tokens[j].text == opening:
            depth += 1
        elif tokens[j].text == close:
            depth -= 1
            if depth == 0:
                return j
    return None


def is_binary(tokens, i):
    """Whether the operator at i stands between two operands, with a blank on each side."""
    if i == 0 or i + 1 >= len(tokens):
        return False
    before, token, after = tokens[i - 1], tokens[i], tokens[i + 1]
    if before.end == token.start or after.start == token.end:
        return False
    return before.ends_operand() and (after.kind in ("ident", "number", "string", "char")
                                      or after.text in ("(", "!", "-", "*", "&", "::", "~", "+"))


def looks_boolean(tokens):
    """Whether an expression is visibly a truth value: a comparison or a logical operator at its top
    level, or a negation."""
    top = [tokens[j].text for j in top_level(tokens) if not tokens[j].template]
    # A choice between two values is whatever the values are.
    if "?" in top:
        return False
    return tokens[0].text == "!" or any(t in RELATIONAL or t in ("==", "!=", "&&", "||") for t in top)


def shifted_integer(text, step):
    """The integer literal plus step, in the same base and with the same suffix; None below 0."""
    digits, suffix = INTEGER.fullmatch(text).groups()
    if digits[:2].lower() == "0x":
        value = int(digits, 16) + step
        if value < 0:
            return None
        written = f"{value:0{len(digits) - 2}x}"
        return digits[:2] + (written.upper() if digits[2:] != digits[2:].lower() else written) + suffix
    value = int(digits) + step
    return str(value) + suffix if value >= 0 else None


def changed_floats(text):
    """The floating literal a step up and a step down, written in its own form: from 1 up one more and
    one less, below 1 and with an exponent doubled and halved; 0 becomes 1."""
    mantissa, exponent, suffix = FLOATING.fullmatch(text).groups()
    value = float(mantissa + (exponent or ""))
    if value == 0.0:
        targets = [1.0]
    elif value >= 1.0 and not exponent:
        targets = [value + 1.0, value - 1.0]
    else:
        targets = [value * 2.0, value / 2.0]
    results = []
    for target in targets:
        if exponent:
            head, tail = f"{target:e}".split("e")
            head = head.rstrip("0")
            written = f"{head}0e{int(tail)}" if head.endswith(".") else f"{head}e{int(tail)}"
        else:
            written = f"{target:.{len(mantissa.partition('.')[2]) + 2}f}".rstrip("0")
            written = written + "0" if written.endswith(".") else written
        if float(written) != value:
            results.append(written + suffix)
    return results


def return_kind(header):
    """What a function returns, from its header: "bool", "number", "pointer" or None."""
    match = re.fullmatch(r"(?P<type>[\w:<>,*&\s]+?)\s*\b[\w:~]+\s*\(.*\)[\w\s]*", header.strip())
    if not match:
        return None
    kind = re.sub(r"\b(static|inline|virtual|constexpr|explicit|friend|const)\s+", "", match.group("type")).strip()
    if kind == "bool":
        return "bool"
    if kind.endswith("*"):
        return "pointer"
    return "number" if NUMERIC_TYPE.fullmatch(kind) else None


class Place:
    """Where a line stands: in a function's body (with the function's header) or not, and how the
    code before it ends."""

    def __init__(self):
        self.function = None
        self.in_function = False
        self.previous = ""


def line_faults(line, masked, tokens, place, names):
    """Every fault of the operator set on one line, as (operator, start, end, replacement)."""
    found = []
    texts = [t.text for t in tokens]
    # The increment clause of a for loop: turning ++i into --i there only makes an endless loop.
    increment_clause = (0, 0)
    if "for" in texts and texts.index("for") + 1 < len(texts) and texts[texts.index("for") + 1] == "(":
        start = texts.index("for") + 1
        end = closing(tokens, start)
        semicolons = [j for j in range(start, end or 0) if texts[j] == ";"]
        if end is not None and len(semicolons) == 2:
            increment_clause = (semicolons[1], end)
    pure_virtual = re.search(r"\)[\w\s]*=\s*0\s*;", masked) is not None
    for i, token in enumerate(tokens):
        text = token.text
        before = tokens[i - 1] if i > 0 else None
        after = tokens[i + 1] if i + 1 < len(tokens) else None
        if before is not None and before.text == "operator" or token.template:
            continue
        if text in RELATIONAL and is_binary(tokens, i):
            found += [("relational", token.start, token.end, other) for other in RELATIONAL[text]]
        elif text in ("==", "!=", "&&", "||") and is_binary(tokens, i):
            found.append(("equality" if "=" in text else "logical", token.start, token.end, SWAPS[text]))
        elif text in ("+", "-", "*", "/") and is_binary(tokens, i):
            # Text is joined with +, and has no -.
            if text == "+" and ('"' in masked or "std::string" in masked or "'" in masked
                                or before.text in names["strings"] or after.text in names["strings"]):
                continue
            # The distance between two pointers has no sum.
            if text == "-" and before.text in names["pointers"] and after.text in names["pointers"]:
                continue
            found.append(("arithmetic", token.start, token.end, SWAPS[text]))
        elif text in ("+=", "-=", "*=", "/=") and before is not None and before.ends_operand():
            if text == "+=" and (after is None or after.kind in ("string", "char")
                                 or before.text in names["strings"] or after.text in names["strings"]):
                continue
            found.append(("arithmetic", token.start, token.end, SWAPS[text]))
        elif text in ("++", "--"):
            if increment_clause[0] < i < increment_clause[1]:
                continue
            operand = after if after is not None and after.kind == "ident" else before
            # An iterator may go only forwards.
            if operand is None or not (operand.kind == "ident" or operand.text == "]") \
                    or re.fullmatch(r"it|iter|\w*It(erator)?", operand.text):
                continue
            found.append(("increment", token.start, token.end, SWAPS[text]))
        elif text == "?":
            # The condition runs back to an assignment, a comma, an open bracket or "return".
            depth = 0
            j = i - 1
            while j >= 0:
                t = tokens[j].text
                if t in (")", "]"):
                    depth += 1
                elif t in ("(", "[", "{"):
                    if depth == 0:
                        break
                    depth -= 1
                elif depth == 0 and t in ("=", "+=", "-=", "*=", "/=", ",", "return", "?", ":", ";", "<<"):
                    break
                j -= 1
            # Started on an earlier line, unless that one ended with an open bracket or a comma.
            if j < 0 and not place.previous.endswith(("(", ",", "=")) or j + 1 >= i:
                continue
            first, last = tokens[j + 1], tokens[i - 1]
            found.append(("condition", first.start, last.end, "!(" + line[first.start:last.end] + ")"))
        elif text in ("if", "while") and after is not None and after.text == "(":
            end = closing(tokens, i + 1)
            if end is None or end == i + 2:
                continue
            first, last = tokens[i + 2], tokens[end - 1]
            found.append(("condition", first.start, last.end, "!(" + line[first.start:last.end] + ")"))
        elif token.kind == "number":
            # An array's size in a declaration (char buffer[4096], names[3] = {...}) often cannot change.
            if before is not None and before.text == "[" and i >= 3 and tokens[i - 2].kind == "ident" \
                    and (tokens[i - 3].kind == "ident" and tokens[i - 3].text not in ("return", "case", "else")
                         or tokens[i - 3].text in ("*", "&")):
                continue
            if INTEGER.fullmatch(text):
                if text == "0" and pure_virtual:
                    continue
                for step in (1, -1):
                    other = shifted_integer(text, step)
                    # Two equal case labels do not compile.
                    if other is None or before is not None and before.text == "case" and other in names["cases"]:
                        continue
                    found.append(("constant", token.start, token.end, other))
            elif FLOATING.fullmatch(text):
                found += [("constant", token.start, token.end, other) for other in changed_floats(text)]
    if "return" in texts and ";" in texts[texts.index("return"):]:
        r = texts.index("return")
        end = texts.index(";", r)
        if end > r + 1 and (place.in_function or "{" in texts[:r]):
            value = tokens[r + 1:end]
            first, last = value[0], value[-1]
            expression = line[first.start:last.end]
            # A function written on its line: its header is what comes before the "{".
            header = masked[:masked.rfind("{", 0, tokens[r].start)] if "{" in masked[:tokens[r].start] else None
            kind = return_kind(header) if header is not None else place.function
            replacement = None
            if expression in ("true", "false"):
                replacement = "false" if expression == "true" else "true"
            elif kind == "bool" or looks_boolean(value):
                replacement = "!(" + expression + ")"
            elif kind == "number":
                zero = (INTEGER.fullmatch(expression) or FLOATING.fullmatch(expression)) and \
                    float(re.sub(r"[uUlLfF]+$", "", expression) if not expression.lower().startswith("0x") else
                          int(expression.rstrip("uUlL"), 16)) == 0
                replacement = "1" if zero else "0"
            elif kind == "pointer" and expression != "nullptr":
                replacement = "nullptr"
            if replacement is not None:
                found.append(("return", first.start, last.end, replacement))
    # A call whose result is unused, standing alone on its line after the end of a statement.
    stripped = masked.strip()
    if place.in_function and CALL_STATEMENT.fullmatch(stripped) and texts[0] not in KEYWORDS \
            and texts[0] not in names["classes"] and closing(tokens, texts.index("(")) == len(tokens) - 2:
        previous = place.previous
        # Under a braceless if, else, for or while, or after a label, an empty statement keeps the shape.
        guarded = re.search(r"(^|\W)(if|while|for)\s*\(.*\)$|(^|\W)(else|do)$", previous) is not None \
            or previous.endswith(":") and not previous.endswith("::")
        if previous.endswith((";", "{", "}")) or guarded:
            indent = len(line) - len(line.lstrip())
            found.append(("call", indent, len(line.rstrip()), ";" if guarded else ""))
    return found


def block_kind(header, place):
    """What a "{" opens, from the code since the last ";", "{" or "}": a class, a namespace, a function
    (with what it returns) or another block."""
    header = header.strip()
    if place.in_function:
        return ("lambda", None) if re.search(r"\]\s*(\(.*\))?[\w\s]*(->.*)?$", header) else ("block", None)
    if re.match(r"(template\s*<.*>\s*)?(class|struct|union|enum)\b", header):
        return ("class", None)
    if re.match(r"(inline\s+)?(namespace|extern)\b", header) or not header:
        return ("namespace", None)
    initialisers = re.search(r"\)\s*:(?!:)", header)
    if initialisers or re.search(r"\)[\w\s]*$", header):
        # A constructor's initialiser list is no part of its signature.
        return ("function", return_kind(header[:initialisers.start() + 1] if initialisers else header))
    # A brace initialiser of a constant, a default value and the like.
    return ("data", None)


def file_faults(text, names):
    """Every generated fault of one file, as (line number from 1, operator, start, end, replacement): those
    of the operator swaps, then those of the operators that change names, arguments, statements, bounds
    and defaults."""
    lines = text.split("\n")
    masked_lines, preprocessor = mask_code(text)
    names = dict(names)
    masked_text = "\n".join(masked_lines)
    names["cases"] = set(re.findall(r"\bcase\s+(\w+)\s*:", masked_text))
    names["classes"] = set(re.findall(r"\b(?:class|struct)\s+(\w+)", masked_text))
    # The blocks open at the start of each line, innermost last, and the code since the last statement.
    blocks = []
    header = ""
    place = Place()
    found = []
    # Each line of code with where it stands, for the second set of operators; and each function's names.
    seen = []
    spans = []
    for number, (line, masked) in enumerate(zip(lines, masked_lines)):
        if number in preprocessor or not masked.strip():
            continue
        tokens = tokenize(masked)
        # A changed static_assert either fails or checks nothing.
        skip = any(t.text == "static_assert" for t in tokens)
        functions = [b for b in blocks if b[0] in ("function", "lambda")]
        place.in_function = bool(functions)
        place.function = functions[-1][1] if functions else None
        if not skip:
            found += [(number + 1,) + fault for fault in line_faults(line, masked, tokens, place, names)]
            seen.append((number, line, masked, tokens, place.in_function, place.previous,
                         blocks[-1][2] if blocks and len(blocks[-1]) > 2 else "", len(spans) - 1 if functions else None))
        segment = 0
        for token in tokens:
            if token.text not in ("{", "}", ";"):
                continue
            if token.text == "{":
                inner = blocks[-1][0] if blocks else None
                opened = header + masked[segment:token.start]
                kind = ("data", None) if inner == "data" else block_kind(opened, place)
                if kind[0] == "function" and not place.in_function:
                    spans.append(set(re.findall(r"[A-Za-z_]\w*", opened)))
                loop = re.match(r"\s*(switch|for|while|do)\b", opened)
                blocks.append(kind + ((loop.group(1) if loop else "block"),))
            elif token.text == "}" and blocks:
                blocks.pop()
            place.in_function = any(b[0] in ("function", "lambda") for b in blocks)
            if place.in_function and spans:
                spans[-1].update(re.findall(r"[A-Za-z_]\w*", masked))
            header = ""
            segment = token.end
        if place.in_function and spans:
            spans[-1].update(re.findall(r"[A-Za-z_]\w*", masked))
        header += masked[segment:] + " "
        place.previous = masked.strip()
    return found + more_faults(seen, spans, names, masked_text)


def more_faults(seen, spans, names, masked_text):
    """The faults of the operators that change names, arguments, statements, bounds and defaults."""
    names["wrappers"] = {m.group(1) for m in re.finditer(
        r"(?:std::string|const\s+char\s*\*)\s+(\w+)\s*\([^)]*\)\s*\{([^{}]*)\}", masked_text)
        if "getenv" in m.group(2) and m.group(2).count(";") <= 2}
    found = []
    span = None
    names["environment"], names["derived"] = set(), {}
    for index, (number, line, masked, tokens, in_function, previous, block, line_span) in enumerate(seen):
        place = Place()
        place.in_function = in_function
        place.previous = previous
        place.block = block
        place.class_names = names["classes"]
        place.next_code = seen[index + 1][2].strip() if index + 1 < len(seen) else ""
        place.span_names = spans[line_span] if line_span is not None else set()
        if line_span != span:
            # What was read from the environment is known within its function.
            span = line_span
            names["environment"], names["derived"] = set(), {}
        faults = partner_faults(line, tokens, place, names, masked) + argument_faults(line, tokens, place, names, masked)
        faults += statement_faults(line, masked, tokens, place) + bound_faults(line, tokens)
        if in_function or "{" in [t.text for t in tokens]:
            faults += environment_faults(line, tokens, place, names)
        found += [(number + 1,) + fault for fault in faults]
    return found


# --- The operators of faults that operator swaps miss ----------------------------------------------------

# Names that come in pairs and are easily typed one for the other, whole or as a part of a longer name
# (posX, mWidth, leftEdge); the cycles give each member its next one.
PARTNER_PAIRS = [("x", "y"), ("xs", "ys"), ("w", "h"), ("width", "height"), ("wide", "high"), ("left", "right"),
                 ("top", "bottom"), ("first", "second"), ("min", "max"), ("begin", "end"), ("up", "down"),
                 ("horizontal", "vertical"), ("in", "out"), ("input", "output"), ("row", "column"),
                 ("rows", "columns")]
PARTNER_CYCLES = [("r", "g", "b", "a"), ("red", "green", "blue", "alpha")]
PARTNERS = {}
for _pair in PARTNER_PAIRS:
    PARTNERS.update({_pair[0]: _pair[1], _pair[1]: _pair[0]})
for _cycle in PARTNER_CYCLES:
    PARTNERS.update({_word: _cycle[(_n + 1) % len(_cycle)] for _n, _word in enumerate(_cycle)})
# Texture coordinates: only inside a longer name (texS, maxT), as a lone s or t is anything.
PART_ONLY = {"S": "T", "T": "S"}
NAME_PART = re.compile(r"[A-Z]+(?![a-z])|[A-Z]?[a-z]+|\d+|_+")
# Words before a name that do not declare it.
EXPRESSION_WORDS = {"return", "case", "else", "throw", "new", "delete", "sizeof", "do"}
# Calls whose arguments may come in either order.
COMMUTATIVE = {"min", "max", "fmin", "fmax", "swap", "hypot", "fminf", "fmaxf"}
ASSIGNMENT = re.compile(r"(\*\s*)?[A-Za-z_]\w*(\s*(\.|->|::)\s*[A-Za-z_]\w*|\s*\[[^\]]*\])*\s*"
                        r"(=|\+=|-=|\*=|/=|%=|&=|\|=|\^=|<<=|>>=)\s*[^=].*;")
# Below these a bound moved by one needs brackets: "i < (a & b) - 1".
LOOSE_OPERATORS = {"<<", ">>", "&", "|", "^", "?", ":", "<", "<=", ">", ">=", "==", "!=", "&&", "||", "="}


def partner_names(name):
    """Every name made by changing one part of a name into its partner, keeping the part's case."""
    parts = NAME_PART.findall(name)
    results = []
    offset = 0
    for part in parts:
        start = name.index(part, offset)
        offset = start + len(part)
        lower = part.lower()
        if part in PART_ONLY and len(parts) > 1:
            other = PART_ONLY[part]
        # A lone small letter counts alone or at the head of a name (xScale), not inside one.
        elif lower in PARTNERS and (len(lower) > 1 or len(parts) == 1 or part.isupper() or start == 0):
            other = PARTNERS[lower]
            other = other.upper() if part.isupper() and (len(part) > 1 or len(parts) > 1) else \
                other.capitalize() if part[0].isupper() else other
        else:
            continue
        results.append(name[:start] + other + name[offset:])
    return results


def split_top(tokens, separators):
    """The tokens split at the separators that stand outside brackets."""
    groups, depth = [[]], 0
    for token in tokens:
        if token.text in ("(", "[", "{") or token.text == "<" and token.template:
            depth += 1
        elif token.text in (")", "]", "}") or token.text == ">" and token.template:
            depth -= 1
        if depth == 0 and token.text in separators and not token.template:
            groups.append([])
        else:
            groups[-1].append(token)
    return groups


def top_level(tokens):
    """The indices of the tokens outside any bracket."""
    found, depth = [], 0
    for j, token in enumerate(tokens):
        if token.text in (")", "]", "}") or token.text == ">" and token.template:
            depth -= 1
        elif depth == 0:
            found.append(j)
        if token.text in ("(", "[", "{") or token.text == "<" and token.template:
            depth += 1
    return found


def span_text(line, tokens):
    return line[tokens[0].start:tokens[-1].end] if tokens else ""


def wrapped(line, tokens):
    """The expression of tokens ready to take "+ 1": bracketed when an operator binds more loosely."""
    text = span_text(line, tokens)
    loose = any(tokens[j].text in LOOSE_OPERATORS and not tokens[j].template for j in top_level(tokens))
    return "(" + text + ")" if loose else text


def is_declared(tokens, i):
    """Whether the name at i is being declared: a type stands before it."""
    j = i - 1
    while j >= 1 and tokens[j].text == "::" and tokens[j - 1].kind == "ident":
        j -= 2
    if j < 0:
        return False
    before = tokens[j]
    if before.text in ("*", "&", "&&") and not is_binary(tokens, j):
        return j > 0 and (tokens[j - 1].kind == "ident" or tokens[j - 1].text == ">")
    return before.kind == "ident" and before.text not in EXPRESSION_WORDS or before.text == ">" and before.template


def code_tokens(tokens, place, masked):
    """The indices of the tokens that run as code: all of a function's line, the part after the "{" of a
    function written on its line, and the values of a constructor's initialisers."""
    if place.in_function:
        return range(len(tokens))
    texts = [t.text for t in tokens]
    if "{" in texts and not {"class", "struct", "enum", "union", "namespace", "="} & set(texts[:texts.index("{")]) \
            and ")" in texts[:texts.index("{")]:
        return range(texts.index("{") + 1, len(tokens))
    if masked.strip().startswith(":") and not masked.strip().startswith("::"):
        depth, inside = 0, []
        for i, token in enumerate(tokens):
            depth += token.text == "("
            depth -= token.text == ")"
            if depth > 0 and token.text != "(":
                inside.append(i)
        return inside
    return range(0)


def partner_faults(line, tokens, place, names, masked):
    found = []
    for i in code_tokens(tokens, place, masked):
        token = tokens[i]
        if token.kind != "ident" or token.text in KEYWORDS or token.template or is_declared(tokens, i):
            continue
        before = tokens[i - 1].text if i > 0 else ""
        after = tokens[i + 1].text if i + 1 < len(tokens) else ""
        member = before in (".", "->")
        if after == "::":
            continue
        for other in partner_names(token.text):
            # Iterators are not bounds; a pair's first and second seldom share a type.
            changed = {p.lower() for p in NAME_PART.findall(token.text)} ^ {p.lower() for p in NAME_PART.findall(other)}
            if changed & {"begin", "end"} and after == "(" or changed & {"first", "second"} and member:
                continue
            if member and token.text in names["owners"]:
                visible = names["owners"].get(other, set()) & names["owners"][token.text]
            else:
                visible = other in (names["members"] if member else names["scope"] | place.span_names)
            if visible:
                found.append(("partner", token.start, token.end, other))
        sibling = names["siblings"].get(token.text)
        if member and after != "(" and sibling:
            found.append(("partner", token.start, token.end, sibling))
    return found


def argument_faults(line, tokens, place, names, masked):
    found = []
    texts = [t.text for t in tokens]
    for k in code_tokens(tokens, place, masked):
        if texts[k] != "(" or k == 0:
            continue
        callee = tokens[k - 1]
        named = tokens[k - 4] if callee.text == ">" and callee.template and k >= 4 else callee
        if not (callee.kind == "ident" and callee.text not in KEYWORDS or callee.text == ">" and callee.template) \
                or named.text in COMMUTATIVE:
            continue
        end = closing(tokens, k)
        inside = tokens[k + 1:end] if end is not None else tokens[k + 1:]
        groups = split_top(inside, (",",))
        # A call that goes on on the next line: only the arguments that end on this one.
        if end is None and not masked.rstrip().endswith(","):
            groups = groups[:-1]
        for first, second in zip(groups, groups[1:]):
            if not first or not second or not all(simple_argument(g) for g in (first, second)):
                continue
            a, b = span_text(line, first), span_text(line, second)
            # Swapped arguments of different kinds would not build.
            kinds = [argument_kind(g, names) for g in (first, second)]
            if a == b or kinds[0] is None or kinds[0] != kinds[1]:
                continue
            found.append(("arguments", first[0].start, second[-1].end,
                          b + line[first[-1].end:second[0].start] + a))
    return found


def argument_kind(tokens, names):
    """What kind of value an argument is, as far as the file tells: "literal" (a number written out),
    "number", "constant" (a named constant or enumerator), a pointer to a type, another declared type;
    None when not known or not worth a swap."""
    text = "".join(t.text for t in tokens)
    types = names["types"]
    # Two numbers trade places as easily as two names (x and y); a number for a name may meet a reference
    # parameter, and two strings are most often a long and a short spelling of one flag.
    if len(tokens) == 1 and tokens[0].kind == "number":
        return "literal"
    if text in ("true", "false"):
        return "number"
    if re.fullmatch(r"([A-Z]\w*::)?[A-Z][A-Z0-9]*_[A-Z0-9_]+|[A-Z][A-Z0-9]+", text):
        return "constant"
    address = text.startswith("&")
    found = re.fullmatch(r"(?:\w+(?:\.|->))*(\w+)", text.lstrip("&"))
    kind = types.get(found.group(1)) if found else None
    if kind is None:
        return None
    if address:
        return "pointer:" + kind
    if NUMERIC_TYPE.fullmatch(kind) or kind == "bool":
        return "number"
    return kind


def declared_types(text):
    """The declared type of each name of a file and its header that has only one."""
    found = {}
    masked = "\n".join(mask_code(text)[0])
    for match in re.finditer(r"(?<![\w:.>])((?:const\s+)?(?:\w+::)*\w+(?:<[\w:<>, ]*>)?(?:\s*[*&]+|\s))\s*(\w+)"
                             r"\s*(?=[;=,)({\[])", masked):
        kind = " ".join(match.group(1).replace("const ", "").split()).rstrip("&").strip()
        if kind in KEYWORDS - {"bool", "char", "double", "float", "int", "long", "short", "unsigned", "auto"} \
                or kind in ("auto", "else", "return"):
            continue
        array = masked[match.end():match.end() + 1] == "["
        found.setdefault(match.group(2), set()).add(kind + ("[]" if array else ""))
    return {name: kinds.pop() for name, kinds in found.items() if len(kinds) == 1}


def simple_argument(tokens):
    return len(tokens) <= 5 and not any(t.text in ("?", "{", "[", "=", "<<", ">>") for t in tokens if not t.template)


def statement_faults(line, masked, tokens, place):
    """Deleting an assignment, a compound assignment, a break or a continue."""
    if not place.in_function or not tokens:
        return []
    stripped = masked.strip()
    texts = [t.text for t in tokens]
    previous = place.previous
    guarded = re.search(r"(^|\W)(if|while|for)\s*\(.*\)$|(^|\W)(else|do)$", previous) is not None \
        or previous.endswith(":") and not previous.endswith("::")
    starts_statement = previous.endswith((";", "{", "}")) or guarded
    indent = len(line) - len(line.lstrip())
    whole = ("statement", indent, len(line.rstrip()), ";" if guarded else "")
    if ASSIGNMENT.fullmatch(stripped) and texts.count(";") == 1 and texts[0] not in KEYWORDS \
            and texts[0] not in place.class_names and closing_balanced(texts) and starts_statement:
        return [whole]
    if texts[-2:] not in (["break", ";"], ["continue", ";"]):
        return []
    # Leaving a switch by its last break, or ending a loop body with continue, changes nothing.
    last = place.next_code.startswith("}") and (texts[-2] == "continue" and not guarded or place.block == "switch"
                                                and texts[-2] == "break")
    if last:
        return []
    if len(texts) == 2 and starts_statement:
        return [whole]
    if len(texts) > 2 and texts[-3] == ";":
        return [("statement", tokens[-3].end, tokens[-1].end, "")]
    return []


def closing_balanced(texts):
    return texts.count("(") == texts.count(")") and texts.count("[") == texts.count("]")


def bound_faults(line, tokens):
    """A loop's bound, and a counting loop's start, moved by one."""
    found = []
    texts = [t.text for t in tokens]
    for k, text in enumerate(texts):
        if text not in ("for", "while") or k + 1 >= len(texts) or texts[k + 1] != "(":
            continue
        end = closing(tokens, k + 1)
        if end is None:
            continue
        inside = tokens[k + 2:end]
        clauses = split_top(inside, (";",))
        if text == "for" and len(clauses) != 3 or text == "for" and not clauses[1]:
            continue
        condition = clauses[1] if text == "for" else inside
        variable, downwards = None, False
        if text == "for":
            init, _, step = clauses
            names = [t.text for t in init if t.kind == "ident"]
            if "=" in [t.text for t in init]:
                variable = [t for t in init[:[t.text for t in init].index("=")] if t.kind == "ident"][-1].text
            elif names:
                variable = names[-1]
            downwards = any(t.text in ("--", "-=") for t in step + condition)
            if variable and "=" in [t.text for t in init]:
                start = init[[t.text for t in init].index("=") + 1:]
                if start and not (len(start) == 1 and start[0].kind == "number"):
                    found.append(("bound", start[0].start, start[-1].end,
                                  wrapped(line, start) + (" - 1" if downwards else " + 1")))
        for part in split_top(condition, ("&&", "||")):
            top = [j for j in top_level(part) if part[j].text in RELATIONAL and not part[j].template]
            if len(top) != 1:
                continue
            left, right = part[:top[0]], part[top[0] + 1:]
            if variable is not None:
                sides = [s for s, o in ((right, left), (left, right)) if [t.text for t in o] == [variable]]
            else:
                simple = re.fullmatch(r"[\w.\->\[\]]+", "".join(t.text for t in left)) is not None
                sides = [right] if simple else []
            for side in sides:
                if not side or len(side) == 1 and side[0].kind == "number" or any(t.text in ("++", "--") for t in side):
                    continue
                found += [("bound", side[0].start, side[-1].end, wrapped(line, side) + step) for step in (" - 1", " + 1")]
    return found


def unset_value(tokens, texts, names):
    """What a condition on the environment gives when the variables it reads are not set: True, False
    or None when that cannot be told. texts are the tokens' text in the original line ('\\0' unmasked)."""
    while tokens and tokens[0].text == "(" and closing(tokens, 0) == len(tokens) - 1:
        tokens, texts = tokens[1:-1], texts[1:-1]
    if not tokens:
        return None
    top = top_level(tokens)
    if any(tokens[j].text == "?" for j in top):
        return None
    for separator, absorbing in (("||", True), ("&&", False)):
        cuts = [j for j in top if tokens[j].text == separator]
        if cuts:
            bounds = [-1] + cuts + [len(tokens)]
            values = [unset_value(tokens[a + 1:b], texts[a + 1:b], names) for a, b in zip(bounds, bounds[1:])]
            if absorbing in values:
                return absorbing
            return (not absorbing) if all(v is not None for v in values) else None
    if tokens[0].text == "!":
        value = unset_value(tokens[1:], texts[1:], names)
        return None if value is None else not value
    joined = "".join(texts)
    environment, derived = names["environment"], names["derived"]
    if joined in derived:
        return derived[joined]
    if joined in environment:
        return False
    found = re.fullmatch(r"(?:(\w+)(==|!=)(?:nullptr|NULL|0)|(?:nullptr|NULL)(==|!=)(\w+))", joined)
    if found and (found.group(1) or found.group(4)) in environment:
        return (found.group(2) or found.group(3)) == "=="
    found = re.fullmatch(r"(?:\*(\w+)|(\w+)\[0\])(==|!=)'\\0'", joined)
    if found and (found.group(1) or found.group(2)) in environment:
        return found.group(3) == "=="
    found = re.fullmatch(r"(\w+)\.empty\(\)", joined)
    if found and found.group(1) in environment:
        return True
    return None


def reads_environment(tokens, names):
    return any(t.text in names["environment"] or t.text in names["derived"] for t in tokens)


def environment_faults(line, tokens, place, names):
    """A default that the user's environment or a given value should override made to override it."""
    found = []
    texts = [line[t.start:t.end] for t in tokens]
    words = [t.text for t in tokens]
    for k, token in enumerate(tokens):
        # setenv(name, value, 0) keeps what the user set; 1 overwrites it.
        if token.text == "setenv" and k + 1 < len(tokens) and words[k + 1] == "(":
            end = closing(tokens, k + 1)
            groups = split_top(tokens[k + 2:end], (",",)) if end else []
            if len(groups) == 3 and [t.text for t in groups[2]] == ["0"]:
                found.append(("environment", groups[2][0].start, groups[2][0].end, "1"))
    # A value read from the environment: a variable set from getenv or from a function that only wraps it.
    assigned = re.search(r"(\w+)\s*=\s*(?:std::)?(\w+)\s*\(", line)
    if assigned and (assigned.group(2) == "getenv" or assigned.group(2) in names["wrappers"]):
        names["environment"].add(assigned.group(1))
    conditions = []
    for k, text in enumerate(words):
        if text in ("if", "while") and k + 1 < len(words) and words[k + 1] == "(":
            end = closing(tokens, k + 1)
            if end is not None and end > k + 2:
                conditions.append((k + 2, end, "if"))
        elif text == "return" and ";" in words[k:]:
            conditions.append((k + 1, words.index(";", k), "return"))
        elif text == "=" and k > 0 and tokens[k - 1].kind == "ident" and ";" in words[k:] and \
                words[k - 2:k - 1] == ["bool"]:
            conditions.append((k + 1, words.index(";", k), "derived"))
    for first, end, kind in conditions:
        part = tokens[first:end]
        if not part or not reads_environment(part, names):
            continue
        # A value returned is no condition, unless it visibly is one or chooses.
        if kind == "return" and not looks_boolean(part) and "?" not in [part[j].text for j in top_level(part)]:
            continue
        value = unset_value(part, texts[first:end], names)
        if kind == "derived" and value is not None:
            names["derived"][tokens[first - 2].text] = value
        if value is not None:
            found.append(("environment", part[0].start, part[-1].end, "true" if value else "false"))
            continue
        # A choice on the environment: the default branch taken always.
        top = top_level(part)
        marks = [j for j in top if part[j].text in ("?", ":")]
        if len(marks) == 2 and part[marks[0]].text == "?":
            value = unset_value(part[:marks[0]], texts[first:first + marks[0]], names)
            if value is not None:
                chosen = part[marks[0] + 1:marks[1]] if value else part[marks[1] + 1:]
                found.append(("environment", part[0].start, part[-1].end, span_text(line, chosen)))
    found += default_faults(line, tokens, place)
    return found


def default_faults(line, tokens, place):
    """A value given by the user made to give way to the default: "given ? value : DEFAULT" always the
    default, and the check before a fallback ("if the value is unusable or missing, take the default")
    always passing."""
    found = []
    words = [t.text for t in tokens]
    for k, text in enumerate(words):
        if text != "?":
            continue
        start = k - 1
        depth = 0
        while start >= 0:
            t = words[start]
            depth += t in (")", "]")
            if t in ("(", "[") and depth == 0 or depth == 0 and t in ("=", ",", "return"):
                break
            depth -= t in ("(", "[")
            start -= 1
        rest = tokens[k + 1:]
        cut = [j for j in top_level(rest) if rest[j].text in (":", ";", ",", ")")]
        if len(cut) < 2 or rest[cut[0]].text != ":":
            continue
        given, default = rest[:cut[0]], rest[cut[0] + 1:cut[1]]
        condition = {t.text for t in tokens[start + 1:k]}
        if is_fixed(default) and given and given[0].kind == "ident" and given[0].text in condition \
                and not is_fixed(given):
            found.append(("environment", tokens[start + 1].start, default[-1].end, span_text(line, default)))
    if "if" in words and words.index("if") + 1 < len(words) and words[words.index("if") + 1] == "(":
        k = words.index("if")
        end = closing(tokens, k + 1)
        if end is not None and end > k + 2:
            body = line[tokens[end].end:].strip()
            body = place.next_code if body in ("", "{") else body
            target = re.match(r"([\w.\->]+)\s*=\s*([^=;][^;]*);", body)
            condition = "".join(line[t.start:t.end] for t in tokens[k + 2:end])
            # A clamp ("if (x > 0) x = 0;") is left to the relational operator.
            clamp = re.fullmatch(r"[\w.\->]+(<|<=|>|>=|!=)" + re.escape(target.group(2).strip()), condition) \
                if target else None
            if target and not clamp and re.search(r"(^|[^\w.>])" + re.escape(target.group(1)) + r"($|\W)", condition):
                found.append(("environment", tokens[k + 2].start, tokens[end - 1].end, "true"))
    return found


def is_fixed(tokens):
    """Whether an expression is a fixed value: a literal, an empty string, nullptr or a named constant."""
    text = "".join(t.text for t in tokens)
    return len(tokens) == 1 and (tokens[0].kind in ("number", "string", "char") or text in ("nullptr", "true", "false")
                                 or re.fullmatch(r"[A-Z][A-Z0-9_]+", text) is not None) \
        or text in ("std::string()", "std::string{}")


class GeneratedMutant(Fault):
    """A fault the tool made itself: one change on one line, and what became of it."""

    kind = "generated"

    def __init__(self, file, number, original, operator, start, end, replacement, nth):
        self.file = file
        self.number = number
        self.original = original
        self.operator = operator
        self.mutated = original[:start] + replacement + original[end:]
        self.tests = FOLDER_TESTS[top_folder(file)]
        self.status = "pending"
        self.seconds = 0.0
        self.note = ""
        stripped = original.strip()
        indent = len(original) - len(original.lstrip())
        # The id holds what the fault is, not where the line stands, so unrelated edits keep it: the
        # file, the line's text, which of the file's lines with that text it is, the column in the
        # text and the change.
        key = "\0".join((file, stripped, str(nth), str(start - indent), str(end - indent), replacement))
        stem = os.path.splitext(os.path.basename(file))[0]
        self.ident = f"g-{self.subsystem}-{stem}-{hashlib.sha1(key.encode()).hexdigest()[:8]}"
        if operator in ("call", "statement") and start == indent and end == len(original.rstrip()):
            change = f"`{stripped}` removed" if not replacement else f"`{stripped}` -> `;`"
        else:
            # The change with a word of context on each side.
            left = max(original.rfind(" ", 0, max(start - 1, 0)) + 1, indent)
            right = original.find(" ", end + 1)
            right = len(original) if right < 0 else right
            change = f"`{original[left:right].strip()}` -> `{self.mutated[left:right + len(self.mutated) - len(original)].strip()}`"
        self.description = f"{file}:{number}: {change}"

    @property
    def breaks(self):
        return self.description

    def apply(self, text):
        lines = text.split("\n")
        lines[self.number - 1] = self.mutated
        return "\n".join(lines)

    def where(self, text):
        return self.number, self.original, self.mutated


class MissingMutant:
    """An id that was asked for (in the equivalents file or a list of ids) but matches no mutant."""

    kind = "generated"

    def __init__(self, ident, why):
        self.ident = ident
        self.operator = ""
        self.status = "stale"
        self.seconds = 0.0
        self.note = ""
        self.description = why
        self.breaks = why
        self.file = ""
        self.tests = ""
        found = re.match(r"g-(\w+)-", ident)
        self.subsystem = found.group(1) if found else "other"
        if not ident.startswith("g-"):
            self.kind = "hand-written"


def read_tree(repository, revision):
    """The product source files of a commit, by path."""
    archive = subprocess.run(["git", "-C", repository, "archive", "--format=tar", revision] + list(SUBSYSTEMS),
                             capture_output=True, check=True)
    files = {}
    with tarfile.open(fileobj=io.BytesIO(archive.stdout), mode="r:") as tar:
        for member in tar:
            if member.isfile() and member.name.endswith((".cpp", ".h")):
                files[member.name] = tar.extractfile(member).read().decode("utf-8")
    return files


def generate(files):
    """Every generated mutant of the product code, in a fixed order."""
    siblings, member_types, owners = sibling_members(files)
    mutants = []
    for path in sorted(files):
        text = files[path]
        # Names of strings, from the file and its header, so that text joined with + is left alone.
        header = files.get(os.path.splitext(path)[0] + ".h", "") if path.endswith(".cpp") else ""
        own = text + header
        names = {"strings": set(re.findall(r"std::string\s*&?\s*(\w+)\s*[;=({,)]", own)),
                 "pointers": set(re.findall(r"\*\s*(?:const\s+)?(\w+)\s*[;=,)]", own))
                 | set(re.findall(r"(\w+)\s*\[[\w:]*\]\s*[;=]", own)),
                 "siblings": siblings, "owners": owners, "types": dict(member_types, **declared_types(own))}
        # The names a partner may take: a member of a class that has the name too, or any name after "." or
        # "->" in the file or its header; otherwise the names declared outside functions here and in the
        # header (members, constants) and those of the same function.
        names["members"] = set(re.findall(r"(?:\.|->)\s*([A-Za-z_]\w*)", "\n".join(mask_code(own)[0])))
        names["scope"] = outside_functions(text, path.endswith(".h")) | outside_functions(header)
        lines = text.split("\n")
        seen = {}
        occurrence = {}
        for number, line in enumerate(lines, 1):
            occurrence[number] = seen.get(line.strip(), 0)
            seen[line.strip()] = occurrence[number] + 1
        made = {}
        for number, operator, start, end, replacement in file_faults(text, names):
            mutant = GeneratedMutant(path, number, lines[number - 1], operator, start, end, replacement,
                                     occurrence[number])
            if mutant.mutated == mutant.original:
                continue
            earlier = made.get((number, mutant.mutated))
            if earlier is None:
                made[(number, mutant.mutated)] = mutant
                mutants.append(mutant)
            elif operator in NEW_OPERATORS and earlier.operator not in NEW_OPERATORS:
                # The same change (setenv's 0 to 1) keeps its id and takes the more telling name.
                earlier.operator = operator
    return mutants


def outside_functions(text, members=True):
    """The names a file declares outside function bodies and parameter lists: its constants, functions
    and types, and with members its classes' members."""
    kept = []
    parentheses = 0
    # Per open brace: "body" of a function, "class" or another block.
    braces = []
    last = ""
    recent = ""
    for c in "\n".join(mask_code(text)[0]):
        if c == "(":
            parentheses += 1
        elif c == ")":
            parentheses = max(0, parentheses - 1)
        if c == "{":
            # A body follows the ")" of its parameters (and a const or override).
            braces.append("body" if last == ")" or "body" in braces else
                          "class" if re.search(r"\b(class|struct|union)\b", recent) else "block")
        elif c == "}":
            braces = braces[:-1]
        if c in ";{}":
            recent = ""
        else:
            recent += c
        if not c.isspace() and not c.isalnum() and c != "_":
            last = c
        hidden = parentheses > 0 or "body" in braces or not members and "class" in braces
        kept.append("\n" if c == "\n" else " " if hidden else c)
    return set(re.findall(r"[A-Za-z_]\w*", "".join(kept)))


def sibling_members(files):
    """For each data member of a struct or class, the next member of the same declared type (the first
    for the last), when every class that has a member of that name agrees on it; each member's type,
    when all agree on it; and the classes (by number) that have a member of each name."""
    members = {}
    for path, text in sorted(files.items()):
        stack = []
        header = ""
        for line in mask_code(text)[0]:
            declared = re.fullmatch(r"\s*((?:const\s+)?[\w:<>, ]*?[\w>*&]+)\s+(\w+(?:\s*,\s*\w+)*)"
                                    r"\s*(?:=[^;(]*|\{[^;(]*\})?;\s*", line)
            if stack and stack[-1] is not None and declared and not re.match(r"\s*(static|using|typedef|friend|return|enum|"
                                                                 r"class|struct)\b", line):
                kind = " ".join(declared.group(1).split())
                for name in re.split(r"\s*,\s*", declared.group(2)):
                    stack[-1].setdefault(kind, []).append(name)
            for piece in re.split(r"([{};])", line):
                if piece == "{":
                    opened = re.search(r"\b(class|struct)\s+\w+[^;]*$", header)
                    stack.append({} if opened else None)
                    if opened:
                        members.setdefault("", []).append(stack[-1])
                elif piece == "}" and stack:
                    stack.pop()
                if piece in ("{", "}", ";"):
                    header = ""
                else:
                    header += piece + " "
    choices = {}
    kinds = {}
    owners = {}
    for owner, fields in enumerate(members.get("", [])):
        for kind, same in fields.items():
            for name in same:
                kinds.setdefault(name, set()).add(kind)
                owners.setdefault(name, set()).add(owner)
        for same in fields.values():
            for n, name in enumerate(same):
                # A class where the name has no sibling has none to give.
                choices.setdefault(name, set()).add(same[(n + 1) % len(same)] if len(same) > 1 else None)
    return ({name: next(iter(other)) for name, other in choices.items() if len(other) == 1 and None not in other},
            {name: next(iter(kind)) for name, kind in kinds.items() if len(kind) == 1}, owners)


def sample(candidates, count, seed):
    """count mutants chosen with random.Random(seed), shared evenly among the subsystems; one that has
    fewer gives all it has and the others share the rest. In the order they run: one subsystem after
    the other in turn, so that a run stopped early has judged each about as much."""
    order = list(SUBSYSTEMS.values())
    groups = {name: sorted((m for m in candidates if m.subsystem == name), key=lambda m: m.ident)
              for name in order}
    quota = {name: 0 for name in order}
    left = count
    open_groups = [name for name in order if groups[name]]
    while left > 0 and open_groups:
        share, extra = divmod(left, len(open_groups))
        for index, name in enumerate(open_groups):
            quota[name] += min(share + (index < extra), len(groups[name]) - quota[name])
        left = count - sum(quota.values())
        open_groups = [name for name in open_groups if quota[name] < len(groups[name])]
    chosen = {}
    generator = random.Random(seed)
    for name in order:
        chosen[name] = sorted(generator.sample(groups[name], quota[name]), key=lambda m: (m.file, m.number))
    ordered = []
    for turn in range(max(quota.values(), default=0)):
        ordered += [chosen[name][turn] for name in order if turn < len(chosen[name])]
    return ordered


def parse_equivalents(path):
    """Reads the equivalents file: "<id>  <reason>" a line; "#" starts a comment."""
    equivalents = {}
    if not os.path.isfile(path):
        return equivalents
    with open(path, encoding="utf-8") as text:
        for number, raw in enumerate(text, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            ident, _, reason = line.partition(" ")
            if not re.fullmatch(r"g-[A-Za-z0-9_.-]+", ident) or not reason.strip():
                sys.exit(f"{path}:{number}: expected a generated mutant's id and a reason")
            if ident in equivalents:
                sys.exit(f"{path}:{number}: {ident} appears twice")
            equivalents[ident] = reason.strip()
    return equivalents


def read_ids(path):
    """The ids of a list: a survivors file from an earlier run (JSON), or one id a line."""
    with open(path, encoding="utf-8") as text:
        if path.endswith(".json"):
            return [entry["id"] for entry in json.load(text)]
        return [line.split()[0] for line in text if line.strip() and not line.lstrip().startswith("#")]

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
            # A skipped test is marked like a failed one, but killed nothing.
            failed = re.search(r"Test\s+#\d+: (\S+) \.*\s*\*\*\*(?!Skipped)(\w+)", line)
            if failed:
                return f"{failed.group(1)} ({failed.group(2).lower()})"
    return ""


class Scratch:
    """The scratch folder of a run: a copy of the committed tree in src/, its build in build/, the
    output of every step in logs/, the results in results.txt and the survivors in survivors.json."""

    def __init__(self, work, jobs, compat=None, asan=False):
        self.work = os.path.abspath(work)
        # Built with AddressSanitizer and UndefinedBehaviorSanitizer, leaks checked, as the suite's second
        # pass runs: a fault that only reads or writes out of bounds, or leaks, is caught there too.
        self.asan = asan
        # The folder of sdl12-compat's library, or None to run every test on the installed SDL alone.
        self.compat = compat
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

    def original(self, path):
        if path not in self.originals:
            with open(path, encoding="utf-8") as text:
                self.originals[path] = text.read()
        return self.originals[path]

    def mark_stale(self, mutants):
        """Marks the mutants whose file is gone or whose text no longer occurs exactly once, or, for a
        generated one, whose line is no longer there."""
        for mutant in mutants:
            if mutant.status != "pending":
                continue
            path = os.path.join(self.source, mutant.file)
            if not os.path.isfile(path):
                mutant.status = "stale"
            elif mutant.kind == "generated":
                lines = self.original(path).split("\n")
                if len(lines) < mutant.number or lines[mutant.number - 1] != mutant.original:
                    mutant.status = "stale"
            elif self.original(path).count(mutant.find) != 1:
                mutant.status = "stale"

    def build_all(self):
        if not os.path.isfile(os.path.join(self.build, "CMakeCache.txt")):
            configure = ["cmake", "-S", self.source, "-B", self.build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                         "-DMARROWGATE_BENCHMARKS=OFF", "-DMARROWGATE_ASAN=" + ("ON" if self.asan else "OFF")]
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
            if mutant.status != "pending":
                continue
            key = self.selection_key(mutant)
            if key not in self.selections:
                selection = shlex.split(mutant.tests)
                targets = build_targets(self.build, selection)
                started = time.monotonic()
                clean = bool(targets) and self.run(self.test_command(selection, key[1]), "baseline.log", 3600) == 0
                seconds = time.monotonic() - started
                self.selections[key] = (selection, targets, seconds, clean)
                log(f"Clean run of [{' + sdl12-compat '.join(filter(None, key))}]: "
                    f"{'passes' if clean else 'FAILS or finds no test'} in {seconds:.0f} s")
            if not self.selections[key][3]:
                mutant.status = "no-baseline"

    def try_mutant(self, mutant, timeout):
        """Builds and tests the tree with one mutant in it, then puts the original back."""
        key = self.selection_key(mutant)
        selection, targets, clean_seconds, _ = self.selections[key]
        path = os.path.join(self.source, mutant.file)
        log_name = mutant.ident + ".log"
        started = time.monotonic()
        number, before, after = mutant.where(self.originals[path])
        with open(os.path.join(self.logs, log_name), "w", encoding="utf-8") as out:
            out.write(f"# {mutant.ident}: {mutant.description}\n# {mutant.file}:{number}\n- {before}\n+ {after}\n")
        with open(path, "w", encoding="utf-8") as text:
            text.write(mutant.apply(self.originals[path]))
        try:
            if self.run(["cmake", "--build", self.build, "-j" + self.jobs, "--target"] + targets, log_name,
                        1800) != 0:
                mutant.status = "invalid"
            else:
                status = self.run(self.test_command(selection, key[1]), log_name,
                                  timeout or int(3 * clean_seconds + 60))
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

    def selection_key(self, mutant):
        """A mutant's tests, and the ones it runs once more on sdl12-compat ("" for none)."""
        compat = COMPAT_TESTS.get(top_folder(mutant.file)) if self.compat else None
        return mutant.tests, shlex.join(compat) if compat else ""

    def test_command(self, selection, compat_selection=""):
        if self.asan:
            # LeakSanitizer's own tracer can crash at exit after Mesa has compiled shader programs, as the
            # two drawing tests that build them do; the suite runs those without the leak check (tools/test.sh).
            selection = selection + ["-E", "^(Frames\\.|Drawing\\.FillsLinesAndImages)"]
        # The first failing test is enough to kill a mutant.
        tests = [os.path.join(self.source, "tools", "run-tests.sh"), self.build, "--stop-on-failure", "--timeout",
                 "120"]
        if not compat_selection:
            return tests + selection
        again = shlex.join(tests) + " " + compat_selection
        return ["sh", "-c", f"{shlex.join(tests + selection)} && LD_LIBRARY_PATH={shlex.quote(self.compat)} {again}"]

    def run(self, command, log_name, timeout):
        return run(command, os.path.join(self.logs, log_name), timeout, env=self.environment)


def choose(args, repository, revision):
    """The mutants of the run: the hand-written list, and with --generate the sample of the generated
    ones (or with --ids exactly the named ones), narrowed by the filters; also every generated
    candidate, when they were made."""
    mutants = parse_list(args.list)
    candidates = []
    generated = []
    if args.generate is not None or args.ids or args.list_generated:
        every = generate(read_tree(repository, revision))
        candidates = [m for m in every if not args.operators or m.operator in args.operators]
        if args.ids:
            wanted = read_ids(args.ids)
            by_id = {m.ident: m for m in candidates + mutants}
            mutants = [m for m in mutants if m.ident in wanted]
            generated = [by_id.get(ident) or MissingMutant(ident, "no such mutant any more")
                         for ident in dict.fromkeys(wanted) if not by_id.get(ident) in mutants]
        elif args.generate is not None:
            generated = sample(candidates, args.generate, args.seed)
        else:
            generated = list(candidates)
        equivalents = parse_equivalents(args.equivalents)
        known = {m.ident for m in every}
        for mutant in generated:
            if mutant.ident in equivalents:
                mutant.status = "equivalent"
                mutant.note = equivalents[mutant.ident]
        # An entry of the file that matches nothing generated any more is stale: the code changed.
        generated += [MissingMutant(ident, f"in {os.path.basename(args.equivalents)}, but no longer generated")
                      for ident in equivalents if ident not in known]
    selected = generated + mutants
    if args.filters:
        selected = [m for m in selected if any(re.search(f, m.ident) for f in args.filters)]
    return selected, candidates


def list_generated(candidates, selected, args):
    """Prints what the generator makes and what a run with these options would try, building nothing."""
    names = list(SUBSYSTEMS.values())
    operators = [o for o in OPERATORS if any(m.operator == o for m in candidates)]
    width = max([len(o) for o in operators] + [10])
    log(f"{'subsystem':9} {'candidates':>10}  " + " ".join(f"{o:>{width}}" for o in operators))
    for name in names + ["all"]:
        group = [m for m in candidates if name in (m.subsystem, "all")]
        log(f"{name:9} {len(group):10}  " + " ".join(f"{sum(m.operator == o for m in group):{width}}"
                                                    for o in operators))
    log("")
    for folder, tests in FOLDER_TESTS.items():
        log(f"tests for {folder + '/':8} {tests}")
    chosen = [m for m in selected if m.kind == "generated"]
    seed = f", seed {args.seed}" if args.generate is not None and not args.ids else ""
    log(f"\n{len(chosen)} generated mutants{seed}:")
    for mutant in chosen:
        extra = f"  [{mutant.status}: {mutant.note}]" if mutant.status == "equivalent" else (
            "  [stale]" if mutant.status == "stale" else "")
        log(f"{mutant.ident:36} {mutant.operator:11} {mutant.description}{extra}")
    return 0


def operator_list(text):
    """The operators named in a comma-separated list, checked against the known ones."""
    chosen = [name.strip() for name in text.split(",") if name.strip()]
    unknown = [name for name in chosen if name not in OPERATORS]
    if unknown or not chosen:
        raise argparse.ArgumentTypeError(f"unknown operator {', '.join(unknown) or '(none)'}; known: {', '.join(OPERATORS)}")
    return chosen


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("filters", nargs="*", help="regular expressions for the mutant ids to run")
    parser.add_argument("--list", default=os.path.join(HERE, "mutants.txt"), help="the mutant list")
    parser.add_argument("--work", default=os.environ.get("MUTATION_WORK", "/tmp/marrowgate-mutation"),
                        help="scratch folder for the source copy, the build and the logs")
    parser.add_argument("--rev", default="HEAD", help="the committed tree to mutate (default HEAD)")
    parser.add_argument("--jobs", default="2", help="parallel build jobs (default 2)")
    parser.add_argument("--asan", action="store_true",
                        help="build with AddressSanitizer and UndefinedBehaviorSanitizer, as the suite's second "
                             "pass does (use its own --work folder)")
    parser.add_argument("--timeout", type=int, default=0,
                        help="seconds a mutant's tests may take (default: three times the clean run plus 60)")
    parser.add_argument("--check", action="store_true", help="only check that every mutant applies")
    parser.add_argument("--generate", type=int, metavar="N",
                        help="also run N generated mutants, shared evenly among the subsystems")
    parser.add_argument("--seed", type=int, default=1, help="the seed that chooses the generated mutants (default 1)")
    parser.add_argument("--ids", metavar="FILE",
                        help="run exactly the mutants named in FILE: an earlier run's survivors.json or one id a "
                             "line; generated ones are found among all candidates")
    parser.add_argument("--equivalents", default=os.path.join(HERE, "equivalent.txt"),
                        help="generated mutants known to be equivalent, not run")
    parser.add_argument("--operators", type=operator_list, metavar="LIST",
                        help="make generated mutants of these operators only, comma-separated (default all: "
                             + ",".join(OPERATORS) + ")")
    parser.add_argument("--list-generated", action="store_true",
                        help="only print the generated candidates per subsystem and the chosen ones")
    args = parser.parse_args()

    repository = subprocess.run(["git", "-C", HERE, "rev-parse", "--show-toplevel"], capture_output=True,
                                text=True, check=True).stdout.strip()
    revision = subprocess.run(["git", "-C", repository, "rev-parse", "--short", args.rev], capture_output=True,
                              text=True, check=True).stdout.strip()
    mutants, candidates = choose(args, repository, revision)
    if args.list_generated:
        return list_generated(candidates, mutants, args)
    if not mutants:
        sys.exit("no mutant matches")
    started = time.monotonic()
    compat = os.path.join(repository, "build", "sdl12-compat")
    scratch = Scratch(args.work, args.jobs, compat if os.path.isdir(compat) and not args.asan else None, args.asan)
    scratch.prepare(repository, revision)
    scratch.mark_stale(mutants)
    if args.check:
        for mutant in mutants:
            state = mutant.status if mutant.status in ("stale", "equivalent") else "applies"
            log(f"{mutant.ident:36} {state}")
        return 1 if any(m.status == "stale" for m in mutants) else 0

    scratch.build_all()
    scratch.clean_runs(mutants)
    results = os.path.join(scratch.work, "results.txt")
    heading = f"Mutation check of {revision}"
    if any(m.kind == "generated" for m in mutants) and not args.ids:
        heading += f", {args.generate} generated mutants with seed {args.seed} of {len(candidates)}"
    log(f"\n{'mutant':36} {'subsystem':9} {'result':11} seconds")
    try:
        for done, mutant in enumerate(mutants, 1):
            if mutant.status == "pending":
                scratch.try_mutant(mutant, args.timeout)
            log(f"{mutant.ident:36} {mutant.subsystem:9} {mutant.status:11} {mutant.seconds:5.0f}  "
                f"{mutant.note if mutant.status != 'equivalent' else ''}")
            # Written as the run goes, so that a long run can be followed and one stopped early still
            # leaves its results.
            if done < len(mutants):
                write_results(results, scratch, mutants, heading, time.monotonic() - started,
                              f"{done} of {len(mutants)} mutants done")
    finally:
        text = write_results(results, scratch, mutants, heading, time.monotonic() - started,
                             "" if all(m.status != "pending" for m in mutants) else "stopped early")
        log("\n" + text)
    log(f"\nResults in {results}; survivors in {scratch.work}/survivors.json; logs in {scratch.logs}")
    return 0


def table(mutants, title):
    """The counts per subsystem and the kill share among the mutants that built and ran."""
    statuses = ("killed", "survived", "equivalent", "invalid", "stale")
    lines = [title, f"{'subsystem':9} {'mutants':>7} {'killed':>6} {'survived':>8} {'equivalent':>10} "
                    f"{'invalid':>7} {'stale':>5} {'other':>5} {'killed %':>8}"]
    names = [name for name in list(SUBSYSTEMS.values()) + ["other"] if any(m.subsystem == name for m in mutants)]
    for name in names + ["all"]:
        group = [m for m in mutants if name in (m.subsystem, "all")]
        c = {status: sum(m.status == status for m in group) for status in statuses}
        judged = c["killed"] + c["survived"]
        share = f"{100.0 * c['killed'] / judged:.1f}" if judged else "-"
        lines.append(f"{name:9} {len(group):7} {c['killed']:6} {c['survived']:8} {c['equivalent']:10} "
                     f"{c['invalid']:7} {c['stale']:5} {len(group) - sum(c.values()):5} {share:>8}")
    return lines


def write_results(path, scratch, mutants, heading, seconds, progress):
    lines = [f"{heading}, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, {seconds / 60:.0f} minutes"
             + (f" ({progress})" if progress else "")]
    for kind in ("generated", "hand-written"):
        group = [m for m in mutants if m.kind == kind]
        if not group:
            continue
        lines += [""] + table(group, f"{kind.capitalize()} mutants")
        judged = sum(m.status in ("killed", "survived") for m in group)
        killed = sum(m.status == "killed" for m in group)
        if judged:
            lines.append(f"Killed {killed} of {judged} {kind} mutants that built and ran: "
                         f"{100.0 * killed / judged:.1f}%")
    survivors = []
    for mutant in mutants:
        if mutant.status != "survived":
            continue
        source = os.path.join(scratch.source, mutant.file)
        number, before, after = mutant.where(scratch.originals[source])
        survivors.append({"id": mutant.ident, "kind": mutant.kind, "subsystem": mutant.subsystem,
                          "file": mutant.file, "line": number, "original": before, "mutated": after,
                          "description": mutant.description, "tests": mutant.tests})
    if survivors:
        lines += ["", "Survivors: write the test that kills each, or record a generated one in equivalent.txt"]
        for entry in survivors:
            lines += [f"{entry['id']:36} {entry['file']}:{entry['line']}  [{entry['tests']}]",
                      f"{'':4}{entry['description']}",
                      f"{'':4}before: {entry['original'].strip()}", f"{'':4}after:  {entry['mutated'].strip()}"]
    with open(os.path.join(scratch.work, "survivors.json"), "w", encoding="utf-8") as out:
        json.dump(survivors, out, indent=1)
        out.write("\n")
    lines.append("")
    for mutant in mutants:
        lines.append(f"{mutant.status:11} {mutant.ident:36} {mutant.seconds:5.0f} s  {mutant.description}")
        if mutant.note:
            lines.append(f"{'':11} {'':36} {'':7}  {'why' if mutant.status == 'equivalent' else 'by'} "
                         f"{mutant.note}")
    text = "\n".join(lines)
    with open(path, "w", encoding="utf-8") as out:
        out.write(text + "\n")
    return text


if __name__ == "__main__":
    sys.exit(main())
